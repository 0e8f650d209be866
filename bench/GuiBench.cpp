// What a person waits for in the desktop program, timed offscreen: the main window at start-up,
// the boring log editor over a full log, and a unit switch over a full log. Each wait ends when
// the window in question has been painted. Prints the first run and the median and maximum of
// the runs after it beside the goal; speed is reported, never judged by a test.
//
//   zenka_gui_bench [--repetitions N]

#include "app/MainFrame.h"
#include "app/PelbrinApp.h"
#include "bench/BenchProjects.h"
#include "engine/AnalysisState.h"
#include "forms/BoreSheet.h"
#include "forms/PelbrinView.h"
#include "model/PelbrinDoc.h"
#include "resources/Pictures.h"
#include "support/ScriptedGuiShell.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTimer>

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

namespace {

using namespace zenka;

constexpr int kGiveUpMilliseconds = 30000;

double millisecondsSince(const QElapsedTimer& t) {
    return static_cast<double>(t.nsecsElapsed()) / 1e6;
}

// Counts the paint events of the widgets of one window, the first one `accepts` takes.
class PaintWatch : public QObject {
public:
    using Accepts = std::function<bool(QWidget*)>;
    explicit PaintWatch(Accepts accepts) : accepts_(std::move(accepts)) {
        qApp->installEventFilter(this);
    }
    ~PaintWatch() override { qApp->removeEventFilter(this); }

    int paints() const { return paints_; }
    QWidget* window() const { return window_; }
    // Called (once, from the event loop) after the event that brought the first paint.
    std::function<void()> onFirstPaint;

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && watched->isWidgetType()) {
            QWidget* w = static_cast<QWidget*>(watched)->window();
            if (!window_ && accepts_(w)) window_ = w;
            if (w == window_ && ++paints_ == 1 && onFirstPaint)
                QMetaObject::invokeMethod(this, onFirstPaint, Qt::QueuedConnection);
        }
        return false;
    }

private:
    Accepts accepts_;
    QWidget* window_ = nullptr;
    int paints_ = 0;
};

// Handles events until a round brings no more paints: a window's first display can take more
// than one pass (the layouts settle, the status bar is written).
void settle(const PaintWatch& watch) {
    int before = -1;
    while (watch.paints() != before) {
        before = watch.paints();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

// Handles events until `watch` has seen paints beyond `paintsBefore` and they have settled;
// false when none came in time.
bool processUntilPainted(const PaintWatch& watch, int paintsBefore = 0) {
    QElapsedTimer t;
    t.start();
    while (watch.paints() <= paintsBefore) {
        if (t.elapsed() > kGiveUpMilliseconds) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
    settle(watch);
    return true;
}

struct Figures {
    const char* what;
    double goal;
    std::vector<double> runs; // the first one apart
    bool failed = false;
};

// Start-up as the program does it: the application object builds and shows the main window,
// then the splash picture over it (its timer is long, so it stays up). The wait ends with the
// main window's first paint.
double timeStartUp(AnalysisState& state, bool& failed) {
    test::ScriptedGuiShell shell;
    QElapsedTimer t;
    auto app = std::make_unique<CPelbrinApp>(state, shell);
    PaintWatch watch([&](QWidget* w) { return w == app->mainFrame(); });
    t.start();
    app->InitInstance({QStringLiteral("zenka")}, 60000);
    if (!processUntilPainted(watch)) failed = true;
    const double ms = millisecondsSince(t);
    if (!shell.messages.empty() || !shell.questions.empty()) failed = true;
    app.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return ms;
}

// The main form's Boring Log button to the editor's first paint; the editor is then cancelled
// from inside its own event loop.
double timeBoringLog(CPelbrinView& view, bool& failed) {
    auto* button = view.findChild<QAbstractButton*>(QStringLiteral("boringLog"));
    if (!button) {
        failed = true;
        return 0;
    }
    double ms = 0;
    bool painted = false;
    QElapsedTimer t;
    PaintWatch watch([](QWidget* w) { return qobject_cast<CBoreSheet*>(w) != nullptr; });
    watch.onFirstPaint = [&] {
        settle(watch);
        ms = millisecondsSince(t);
        painted = true;
        if (auto* sheet = qobject_cast<CBoreSheet*>(watch.window())) sheet->reject();
    };
    // A sheet that never paints is closed all the same, so the program does not hang.
    QTimer giveUp;
    giveUp.setSingleShot(true);
    QObject::connect(&giveUp, &QTimer::timeout, [] {
        if (auto* sheet = qobject_cast<CBoreSheet*>(QApplication::activeModalWidget()))
            sheet->reject();
    });
    giveUp.start(kGiveUpMilliseconds);
    t.start();
    button->click();
    if (!painted) failed = true;
    return ms;
}

// A click on the other unit system's radio button to the main window's repaint: the project is
// converted and the form reloaded.
double timeUnitSwitch(CPelbrinDoc& doc, CMainFrame& frame, bool& failed) {
    const bool english = doc.units == Units::English;
    const char* name = english ? "unitMetric" : "unitEnglish";
    const int unitsAfter = english ? Units::Metric : Units::English;
    auto* radio = frame.view()->findChild<QAbstractButton*>(QString::fromLatin1(name));
    if (!radio) {
        failed = true;
        return 0;
    }
    PaintWatch watch([&](QWidget* w) { return w == &frame; });
    QElapsedTimer t;
    t.start();
    radio->click();
    if (!processUntilPainted(watch)) failed = true;
    const double ms = millisecondsSince(t);
    if (doc.units != unitsAfter) failed = true;
    return ms;
}

QtMessageHandler previousHandler = nullptr;

// The offscreen platform says so every time a window asks for what it cannot do.
void dropPlatformNotices(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text.startsWith(QStringLiteral("This plugin does not support"))) return;
    if (previousHandler) previousHandler(type, context, text);
}

double median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

void printTable(const std::vector<Figures>& all, int repetitions) {
    std::printf("\n%-44s %8s %9s %9s %9s  %s\n", "wait (ms)", "goal", "first", "median", "max", "");
    for (const Figures& f : all) {
        const std::vector<double> rest(f.runs.begin() + 1, f.runs.end());
        const double med = median(rest);
        const double max = rest.empty() ? 0 : *std::max_element(rest.begin(), rest.end());
        const char* verdict = f.failed ? "FAILED TO RUN" : (max < f.goal ? "met" : "missed");
        std::printf("%-44s %8.0f %9.2f %9.2f %9.2f  %s\n", f.what, f.goal, f.runs.front(), med, max,
                    verdict);
    }
    std::printf("(median and max of %d runs after the first; offscreen platform)\n", repetitions);
}

} // namespace

int main(int argc, char** argv) {
    int repetitions = 20;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--repetitions") == 0 && i + 1 < argc) {
            repetitions = std::max(1, std::atoi(argv[++i]));
        } else {
            std::fprintf(stderr, "usage: %s [--repetitions N]\n", argv[0]);
            return 2;
        }
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    previousHandler = qInstallMessageHandler(dropPlatformNotices);
    // As the program starts.
    QApplication qtApp(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QStringLiteral("Zenka"));
    QApplication::setWindowIcon(programIcon());

    static AnalysisState state;
    std::vector<Figures> all = {
        {"main window: start-up to first paint", 300, {}},
        {"boring log editor, 225 entries: open+paint", 100, {}},
        {"unit switch, 225 entries: click to repaint", 20, {}},
    };

    for (int r = 0; r <= repetitions; ++r) all[0].runs.push_back(timeStartUp(state, all[0].failed));

    {
        test::ScriptedGuiShell shell;
        CPelbrinDoc doc;
        auto frame = std::make_unique<CMainFrame>(doc, state, shell);
        bench::fillLargest(doc, bench::LogKind::Realistic, bench::LengthKind::Range);
        doc.notifyChanged();
        PaintWatch shown([&](QWidget* w) { return w == frame.get(); });
        frame->show();
        if (!processUntilPainted(shown)) all[1].failed = all[2].failed = true;

        // Nothing may be refused or asked on the way: that would time another path.
        auto quiet = [&shell] { return shell.messages.empty() && shell.questions.empty(); };
        for (int r = 0; r <= repetitions; ++r)
            all[1].runs.push_back(timeBoringLog(*frame->view(), all[1].failed));
        if (!quiet()) all[1].failed = true;
        for (int r = 0; r <= repetitions; ++r)
            all[2].runs.push_back(timeUnitSwitch(doc, *frame, all[2].failed));
        if (!quiet()) all[2].failed = true;
        doc.SetModified(false);
    }

    printTable(all, repetitions);
    for (const Figures& f : all)
        if (f.failed) return 1;
    return 0;
}
