#pragma once

// The one way the library writes diagnostics (received lines, send results).

// printf-style; goes to the sink set with IRC_SetDiagnosticSink, or nowhere.
void irc_diag(const char* format, ...) __attribute__((format(printf, 1, 2)));
