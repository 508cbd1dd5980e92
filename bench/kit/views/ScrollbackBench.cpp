// The scrollback under a flood: a million styled lines appended on a window's thread to a
// shown text view (two runs a line, the end kept in view as a conversation window does),
// and the frame time of scrolling through them afterwards.
//
// Reported per repetition:
//   model_ns_per_line  time the window thread spent per appended line (insert, runs, the
//                      scroll check, the change stream)
//   applied_s          from the first append until the GUI had applied the last line
//   peak_rss_mb        the process's peak resident memory so far
// Frame benchmarks: the time to lay out and paint the scrollback after a scroll step.

#include <QtDisplay.h>
#include <ScrollbackWidget.h>

#include <Message.h>
#include <Messenger.h>
#include <ScrollBar.h>
#include <ScrollView.h>
#include <TextView.h>
#include <Window.h>

#include <QApplication>
#include <QScrollBar>

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <sys/resource.h>
#include <thread>

#include <WindowDisplayLink.h>

namespace {

constexpr int32 kLines = 1000000;
constexpr uint32 kFill = 'fill';

kit_private::QtDisplay* sDisplay = nullptr;

double PeakRssMb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// A conversation-like window: a scrollback in a scroll view; 'fill' appends the lines.
class FloodWindow : public BWindow
{
public:
    FloodWindow() : BWindow(BRect(50, 50, 849, 649), "flood", B_DOCUMENT_WINDOW, 0)
    {
        fText = new BTextView(BRect(0, 0, 785, 599), "fDisplay", BRect(0, 0, 785, 599),
                              B_FOLLOW_ALL, B_WILL_DRAW);
        fText->SetStylable(true);
        fText->MakeEditable(false);
        fScroll = new BScrollView("fBgrnd", fText, B_FOLLOW_ALL, 0, false, true);
        AddChild(fScroll);
    }

    void MessageReceived(BMessage* message) override
    {
        if (message->what != kFill) {
            BWindow::MessageReceived(message);
            return;
        }
        int32 count = 0;
        message->FindInt32("count", &count);
        BFont bold(be_bold_font);
        BFont fixed(be_fixed_font);
        text_run_array* runs = BTextView::AllocRunArray(2);
        runs->runs[0] = {0, bold, {0, 0, 200, 200}};
        runs->runs[1] = {0, fixed, {0, 0, 0, 200}};
        BScrollBar* bar = fScroll->ScrollBar(B_VERTICAL);
        char line[128];
        auto start = std::chrono::steady_clock::now();
        for (int32 i = 0; i < count; i++) {
            int prefix =
                snprintf(line, sizeof(line), "[%02d:%02d] <nick%d>", (i / 60) % 24, i % 60, i % 97);
            int length = prefix + snprintf(line + prefix, sizeof(line) - prefix,
                                           " message number %d with a few words in it\n", i);
            runs->runs[1].offset = prefix;
            float min;
            float max;
            bar->GetRange(&min, &max);
            bool atEnd = bar->Value() >= max;
            fText->Insert(fText->TextLength(), line, length, runs);
            if (atEnd)
                fText->ScrollToOffset(fText->TextLength());
        }
        auto spent = std::chrono::steady_clock::now() - start;
        BTextView::FreeRunArray(runs);
        modelNanoseconds.store(std::chrono::duration_cast<std::chrono::nanoseconds>(spent).count());
        expectedLength.store(fText->TextLength());
        done.store(true);
    }

    std::atomic<bool> done{false};
    std::atomic<int64_t> modelNanoseconds{0};
    std::atomic<int32> expectedLength{-1};

private:
    BTextView* fText;
    BScrollView* fScroll;
};

struct Shown
{
    FloodWindow* window = nullptr;
    BMessenger messenger;
    kit_private::ScrollbackWidget* scrollback = nullptr;
};

Shown ShowWindow()
{
    Shown shown;
    shown.window = new FloodWindow();
    shown.messenger = BMessenger(nullptr, shown.window);
    shown.window->Show();
    sDisplay->Sync(shown.window);
    shown.scrollback =
        qobject_cast<kit_private::ScrollbackWidget*>(sDisplay->Widget(shown.window, "fDisplay"));
    return shown;
}

void CloseWindow(Shown& shown)
{
    if (shown.messenger.LockTarget())
        shown.window->Quit();
    sDisplay->Flush();
    QCoreApplication::processEvents();
}

// Fills a shown scrollback and waits, running the GUI, until it shows the last line.
bool Fill(Shown& shown, int32 lines, double* appliedSeconds)
{
    BMessage fill(kFill);
    fill.AddInt32("count", lines);
    auto start = std::chrono::steady_clock::now();
    shown.messenger.SendMessage(&fill);
    auto deadline = start + std::chrono::minutes(5);
    while (!shown.window->done.load() ||
           shown.scrollback->Document().Length() != shown.window->expectedLength.load()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (std::chrono::steady_clock::now() > deadline)
            return false;
    }
    *appliedSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return true;
}

void BM_AppendMillionStyledLines(benchmark::State& state)
{
    for (auto _ : state) {
        Shown shown = ShowWindow();
        double applied = 0;
        if (shown.scrollback == nullptr || !Fill(shown, kLines, &applied)) {
            state.SkipWithError("the scrollback did not show the lines");
            CloseWindow(shown);
            return;
        }
        state.SetIterationTime(applied);
        state.counters["model_ns_per_line"] =
            static_cast<double>(shown.window->modelNanoseconds.load()) / kLines;
        state.counters["applied_s"] = applied;
        state.counters["peak_rss_mb"] = PeakRssMb();
        state.counters["at_end"] = shown.scrollback->AtEnd() ? 1 : 0;
        CloseWindow(shown);
    }
}
BENCHMARK(BM_AppendMillionStyledLines)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(3);

// The same lines into a window no display shows: the model's own cost, for the ratio.
void BM_AppendMillionLinesWithoutDisplay(benchmark::State& state)
{
    for (auto _ : state) {
        set_window_display_factory(nullptr);
        auto* window = new FloodWindow();
        set_window_display_factory(sDisplay);
        BMessenger messenger(nullptr, window);
        window->Run();
        BMessage fill(kFill);
        fill.AddInt32("count", kLines);
        messenger.SendMessage(&fill);
        while (!window->done.load())
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        double seconds = static_cast<double>(window->modelNanoseconds.load()) / 1e9;
        state.SetIterationTime(seconds);
        state.counters["model_ns_per_line"] = seconds * 1e9 / kLines;
        if (messenger.LockTarget())
            window->Quit();
    }
}
BENCHMARK(BM_AppendMillionLinesWithoutDisplay)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(3);

// One filled window shared by the frame benchmarks.
Shown sFilled;

Shown& Filled()
{
    Shown& shown = sFilled;
    if (shown.window == nullptr) {
        shown = ShowWindow();
        double applied = 0;
        Fill(shown, kLines, &applied);
    }
    return shown;
}

void FrameAfter(benchmark::State& state,
                const std::function<void(kit_private::ScrollbackWidget*)>& step)
{
    kit_private::ScrollbackWidget* scrollback = Filled().scrollback;
    if (scrollback == nullptr) {
        state.SkipWithError("no scrollback");
        return;
    }
    for (auto _ : state) {
        step(scrollback);
        scrollback->viewport()->repaint(); // lays out and paints now
    }
    state.counters["cached_layouts"] = static_cast<double>(scrollback->CachedLayouts());
}

void BM_FramePageUp(benchmark::State& state)
{
    FrameAfter(state, [](kit_private::ScrollbackWidget* scrollback) {
        scrollback->ScrollStep(kit_private::ScrollbackWidget::Step::PageUp);
    });
}
BENCHMARK(BM_FramePageUp)->Unit(benchmark::kMicrosecond)->Repetitions(3);

void BM_FrameWheel(benchmark::State& state)
{
    FrameAfter(state, [](kit_private::ScrollbackWidget* scrollback) {
        scrollback->ScrollStep(kit_private::ScrollbackWidget::Step::LineUp);
        scrollback->ScrollStep(kit_private::ScrollbackWidget::Step::LineUp);
        scrollback->ScrollStep(kit_private::ScrollbackWidget::Step::LineUp);
    });
}
BENCHMARK(BM_FrameWheel)->Unit(benchmark::kMicrosecond)->Repetitions(3);

void BM_FrameJumpAnywhere(benchmark::State& state)
{
    // Dragging the thumb far: lines never laid out before.
    std::mt19937 random(7);
    FrameAfter(state, [&random](kit_private::ScrollbackWidget* scrollback) {
        QScrollBar* bar = scrollback->verticalScrollBar();
        std::uniform_int_distribution<int> pick(0, bar->maximum());
        bar->setValue(pick(random));
    });
}
BENCHMARK(BM_FrameJumpAnywhere)->Unit(benchmark::kMicrosecond)->Repetitions(3);

} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    benchmark::Initialize(&argc, argv);
    int qtArgc = 1;
    kit_private::QtDisplay display(qtArgc, argv);
    sDisplay = &display;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (sFilled.window != nullptr)
        CloseWindow(sFilled);
    sDisplay = nullptr;
    return 0;
}
