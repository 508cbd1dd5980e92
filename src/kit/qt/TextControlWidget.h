#pragma once

// A text control's widget: its label left of the divider and a native line editor right of
// it. The editor stands for the control's text view: typing and IME happen natively, each
// change goes back to the model, and keys the model declared for its filters (and Enter,
// and menu shortcuts) are posted without the editor acting on them.

#include <SupportDefs.h>

#include <QLabel>
#include <QLineEdit>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

namespace kit_private {

class EditorLineEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit EditorLineEdit(QWidget* parent);

    // Asked for every key press before the editor sees it; true: the key was posted only
    // and the editor must not act on it.
    std::function<bool(QKeyEvent*)> onKey;
    std::function<void()> onFocus;

    // The model's text, applied without reporting it back. Byte offsets.
    void ApplyText(const std::string& text, int32 selectionStart, int32 selectionEnd);
    void ApplySelection(int32 start, int32 end);
    std::string Utf8Text() const;
    int32 ByteOffset(int unitPosition) const;
    bool Applying() const { return fApplying; }
    // Characters (code points, sorted) typing and pasting cannot enter.
    void SetDisallowed(std::vector<uint32> characters);

protected:
    bool event(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    int _UnitOffset(int32 byteOffset) const;
    bool fApplying = false;
    class Refuser;
    Refuser* fRefuser = nullptr;
};

class TextControlWidget : public QWidget
{
    Q_OBJECT

public:
    explicit TextControlWidget(QWidget* parent);

    EditorLineEdit* Editor() const { return fEditor; }
    void SetLabel(const QString& label);
    void SetDivider(int divider);
    void SetColors(const QColor& view, const QColor& high);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void _Layout();

    QLabel* fLabel;
    EditorLineEdit* fEditor;
    int fDivider = 0;
};

} // namespace kit_private
