#include "KavrinRGBStudio/support/StudioFakes.hpp"
#include "KavrinRGBStudio/views/ColorWell.hpp"
#include "KavrinRGBStudio/views/DockLightPreview.hpp"
#include "KavrinRGBStudio/views/StudioStyle.hpp"
#include "KavrinRGBStudio/views/StudioWindow.hpp"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSlider>
#include <QTimer>
#include <QtTest>

#include <algorithm>
#include <cstdlib>
#include <memory>

using namespace kavrin;
using kavrin::fakes::FakeStudio;

namespace {

// A window over scripted docks whose first scan has completed.
struct Studio {
    explicit Studio(bool scan = true)
        : fake(false)
    {
        if (scan) {
            fake.platform.settle();
        }
        window = std::make_unique<StudioWindow>(model());
    }
    StudioModel& model() { return *fake.model; }
    void settle() { fake.platform.settle(); }

    // By object name; "deviceRow_2/rowStatus" looks inside the named ancestor.
    template <typename Object = QWidget> Object* find(const QString& path) const
    {
        QObject* scope = window.get();
        const QStringList names = path.split(QLatin1Char('/'));
        for (qsizetype index = 0; scope && index + 1 < names.size(); ++index) {
            scope = scope->findChild<QObject*>(names[index]);
        }
        auto* found = scope ? scope->findChild<Object*>(names.last()) : nullptr;
        if (!found) {
            qFatal("nothing named %s", qPrintable(path));
        }
        return found;
    }
    QString text(const QString& name) const { return find<QLabel>(name)->text(); }
    bool enabled(const QString& name) const { return find(name)->isEnabled(); }
    // Visible as far as the window decides, whether or not the window itself is shown.
    bool shown(const QString& name) const { return find(name)->isVisibleTo(window.get()); }
    void click(const QString& name) const { find<QAbstractButton>(name)->click(); }
    void chooseEffect(const QString& picker, LightingEffect effect) const
    {
        auto* combo = find<QComboBox>(picker);
        const int index = combo->findData(rawValue(effect));
        QVERIFY(index >= 0);
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }

    FakeStudio fake;
    std::unique_ptr<StudioWindow> window;
};

} // namespace

class StudioWindowTests : public QObject {
    Q_OBJECT

private slots:
    void hardwareEditorFollowsTheSelectedDock();
    void effectDecidesColourAndSpeed();
    void typedColourIsAppliedOnlyOnceComplete();
    void liveOutputFreezesTargetsAndModeSwitch();
    void startButtonNamesItsTargets();
    void syncPanelFollowsTicksAndRun();
    void softwareColourWellsFollowTheStyle();
    void previewAnimatesOnlyWhilePlayingAndShown();
    void previewIsDarkWhileTheLampIsOff();
    void previewPaintsEachSegmentInItsColour();
    void pickedColoursConvertToDockColours();
    void rowsFollowSessionsAndScans();
};

void StudioWindowTests::hardwareEditorFollowsTheSelectedDock()
{
    struct Case {
        const char* name;
        bool docks, select, busy, expectEnabled;
    };
    for (const Case& test :
         {Case {"no docks", false, false, false, false}, Case {"none selected", true, false, false, false},
          Case {"selected idle", true, true, false, true}, Case {"selected busy", true, true, true, false}}) {
        Studio studio(test.docks);
        if (!test.docks) {
            studio.fake.docks->listed.clear();
            studio.settle();
        }
        if (test.select) {
            studio.model().select(1);
        }
        if (test.busy) {
            studio.model().read(); // queued, not yet run
        }
        for (const char* widget : {"hardwareControls", "readButton", "applyButton", "applySaveButton", "lampSwitch"}) {
            QVERIFY2(studio.enabled(widget) == test.expectEnabled, qPrintable(QString(test.name) + ": " + widget));
        }
        QVERIFY2(studio.shown("emptyState") == !test.docks, test.name);
        QVERIFY2(studio.shown("statusSpinner") == test.busy, test.name);
    }
}

void StudioWindowTests::effectDecidesColourAndSpeed()
{
    Studio studio;
    studio.model().select(2); // MIND CUBE
    auto* speed = studio.find<QSlider>("speedSlider");
    QCOMPARE(speed->maximum(), 6);

    studio.chooseEffect("effectPicker", LightingEffect::cycling);
    QVERIFY(!studio.enabled("colorRow"));
    QVERIFY(studio.enabled("speedSlider")); // the newer dock animates its cycle

    studio.chooseEffect("effectPicker", LightingEffect::solid);
    QVERIFY(studio.enabled("colorRow"));
    QVERIFY(!studio.enabled("speedSlider"));

    // The older FORGE CUBE has a longer speed scale, a fixed cycle and no wave.
    studio.model().select(1);
    QCOMPARE(speed->maximum(), 10);
    studio.chooseEffect("effectPicker", LightingEffect::cycling);
    QVERIFY(!studio.enabled("speedSlider"));
    QCOMPARE(studio.find<QComboBox>("effectPicker")->findData(rawValue(LightingEffect::wave)), -1);
}

void StudioWindowTests::typedColourIsAppliedOnlyOnceComplete()
{
    Studio studio;
    studio.model().select(1);
    auto* field = studio.find<QLineEdit>("hexField");
    const LightColor before = studio.model().settings().color;

    field->selectAll();
    QTest::keyClicks(field, "22C5");
    QCOMPARE(studio.model().settings().color, before);
    QVERIFY(studio.shown("hexHint"));
    QVERIFY(!studio.enabled("applyButton"));
    QVERIFY(studio.enabled("readButton")); // reading replaces the half-typed colour

    QTest::keyClicks(field, "5E");
    QCOMPARE(studio.model().settings().color, (LightColor {0x22, 0xC5, 0x5E}));
    QVERIFY(!studio.shown("hexHint"));
    QVERIFY(studio.enabled("applyButton"));

    // A swatch rewrites the field and the well.
    studio.click("swatch_3B82F6");
    QCOMPARE(field->text(), QStringLiteral("3B82F6"));
    QCOMPARE(studio.find<ColorWell>("colorWell")->color(), (LightColor {0x3B, 0x82, 0xF6}));
}

void StudioWindowTests::liveOutputFreezesTargetsAndModeSwitch()
{
    Studio studio;
    studio.model().select(1);
    studio.model().setMode(StudioMode::software);
    auto frozen = [&studio] {
        bool any = studio.enabled("modeSwitch") || studio.enabled("syncSelectionRow");
        for (const std::uint64_t id : {1, 2, 3}) {
            any = any || studio.enabled(QStringLiteral("deviceRow_%1/syncCheck").arg(id));
        }
        return !any;
    };
    studio.click("liveButton");
    // Starting: targets, mode and edits wait for the docks.
    QVERIFY(frozen());
    QVERIFY(!studio.enabled("previewPlayButton"));
    QVERIFY(!studio.enabled("softwareEditing"));

    studio.settle();
    // Running: edits flow live, targets stay fixed.
    QVERIFY(frozen());
    QVERIFY(studio.enabled("softwareEditing"));

    studio.click("liveButton");
    // Stopping: the docks are being restored.
    QVERIFY(!studio.enabled("liveButton")); // one stop per run
    QVERIFY(!studio.enabled("softwareEditing"));

    studio.settle();
    QVERIFY(studio.enabled("modeSwitch"));
    QVERIFY(studio.enabled("deviceRow_1/syncCheck"));
}

void StudioWindowTests::startButtonNamesItsTargets()
{
    Studio studio;
    studio.model().setMode(StudioMode::software);
    auto* button = studio.find<QAbstractButton>("liveButton");
    QVERIFY(!button->isEnabled());

    studio.model().select(2);
    QCOMPARE(button->text(), QStringLiteral("开始实时灯效"));
    QVERIFY(button->isEnabled());
    QCOMPARE(studio.text("liveTargets"), QStringLiteral("目标：KAVRIN MIND CUBE 0x01130000"));

    studio.click("selectAllButton");
    QCOMPARE(button->text(), QStringLiteral("开始同步 3 台"));
    QCOMPARE(studio.text("liveTargets"),
             QStringLiteral("目标：FORGE CUBE 0x21220000、KAVRIN MIND CUBE 0x01130000、FORGE CUBE 0x31220000"));

    studio.model().read(); // one target busy
    QVERIFY(!button->isEnabled());
}

void StudioWindowTests::syncPanelFollowsTicksAndRun()
{
    Studio studio;
    studio.model().select(1);
    studio.click("deviceRow_1/syncCheck");
    QVERIFY(!studio.enabled("syncButton")); // syncing needs two docks

    studio.click("deviceRow_2/syncCheck"); // FORGE CUBE with MIND CUBE: no wave
    auto* effects = studio.find<QComboBox>("syncEffect");
    QCOMPARE(effects->count(), 5);
    QVERIFY(studio.enabled("syncButton"));

    studio.click("syncButton");
    QVERIFY(!studio.enabled("syncButton"));
    QVERIFY(!studio.enabled("deviceRow_3/syncCheck"));

    studio.fake.docks->failing[{fakes::ScriptedDocks::Step::apply, 2}] = "写入失败";
    studio.settle();
    QCOMPARE(studio.find<QLabel>("syncMessage")->property("tone").toString(), QStringLiteral("error"));
}

void StudioWindowTests::softwareColourWellsFollowTheStyle()
{
    struct Case {
        const char* style;
        bool primary, secondary, tertiary, themes, rainbowHint;
    };
    Studio studio;
    studio.model().setMode(StudioMode::software);
    for (const Case& test : {
             Case {"style_rainbow", false, false, false, false, true},
             Case {"style_solid", true, false, false, true, false},
             Case {"style_gradient", true, true, false, true, false},
             Case {"style_tricolor", true, true, true, true, false},
         }) {
        studio.click(test.style);
        QVERIFY2(studio.enabled("primaryWell") == test.primary, test.style);
        QVERIFY2(studio.enabled("secondaryWell") == test.secondary, test.style);
        QVERIFY2(studio.enabled("tertiaryWell") == test.tertiary, test.style);
        QVERIFY2(studio.enabled("themeRow") == test.themes, test.style);
        QVERIFY2(studio.shown("rainbowHint") == test.rainbowHint, test.style);
    }
}

void StudioWindowTests::previewAnimatesOnlyWhilePlayingAndShown()
{
    Studio studio;
    auto* timer = studio.find<QTimer>("previewTimer");
    QVERIFY(!timer->isActive()); // not shown yet
    studio.window->show();
    QVERIFY(timer->isActive());

    studio.click("previewPlayButton");
    QVERIFY(!timer->isActive());
    studio.click("previewPlayButton");
    QVERIFY(timer->isActive());

    studio.window->hide();
    QVERIFY(!timer->isActive());
    studio.window->show();
    studio.window->setWindowState(Qt::WindowMinimized);
    QTRY_VERIFY(!timer->isActive());
    studio.window->setWindowState(Qt::WindowNoState);
    QTRY_VERIFY(timer->isActive());
}

void StudioWindowTests::previewIsDarkWhileTheLampIsOff()
{
    Studio studio;
    studio.model().select(3); // FORGE CUBE, lamp off once read
    studio.model().read();
    studio.settle();
    const PreviewFrame off = previewFrame(studio.model().previewSettings(), studio.model().previewElapsed());
    QVERIFY(std::ranges::all_of(off.strip, [](LightColor color) { return color == LightColor {0, 0, 0}; }));
}

void StudioWindowTests::previewPaintsEachSegmentInItsColour()
{
    Studio studio;
    studio.model().setMode(StudioMode::software); // rainbow: every segment differs
    studio.model().setPreviewPlaying(false);
    studio.window->show();
    auto* preview = studio.find("dockLightPreview");
    auto* area = studio.find("segmentArea");
    const QImage image = preview->grab().toImage();
    const PreviewFrame frame = previewFrame(studio.model().previewSettings(), studio.model().previewElapsed());
    const QRect segments(area->mapTo(preview, QPoint(0, 0)), area->size());
    const double pitch = double(segments.width() + 4) / double(frame.strip.size());
    for (std::size_t index = 0; index < frame.strip.size(); ++index) {
        const QPoint middle(segments.left() + int(pitch * (double(index) + 0.4)), segments.center().y());
        const QColor painted = image.pixelColor(middle * image.devicePixelRatio());
        const LightColor expected = frame.strip[index];
        QVERIFY2(std::abs(painted.red() - expected.red) <= 1 && std::abs(painted.green() - expected.green) <= 1
                     && std::abs(painted.blue() - expected.blue) <= 1,
                 qPrintable(QStringLiteral("segment %1 is %2").arg(index).arg(painted.name())));
    }
}

void StudioWindowTests::pickedColoursConvertToDockColours()
{
    struct Case {
        QColor picked;
        std::optional<LightColor> expected;
    };
    for (const Case& test : {
             Case {QColor::fromRgbF(0.5f, 0.0f, 1.0f), LightColor {128, 0, 255}}, // 127.5 rounds up
             Case {QColor::fromRgbF(1.2f, -0.1f, 0.25f), LightColor {255, 0, 64}}, // extended range clamps
             Case {QColor::fromHsv(120, 255, 255), LightColor {0, 255, 0}}, // other spaces convert
             Case {QColor(), std::nullopt},
         }) {
        QCOMPARE(lightColorFromPicked(test.picked), test.expected);
    }
}

void StudioWindowTests::rowsFollowSessionsAndScans()
{
    Studio studio;
    auto status
        = [&studio](std::uint64_t id) { return studio.find<QLabel>(QStringLiteral("deviceRow_%1/rowStatus").arg(id)); };
    studio.model().select(1);
    // A failure marks only the dock it happened on.
    studio.fake.docks->failing[{fakes::ScriptedDocks::Step::read, 1}] = "读取失败";
    studio.click("readButton");
    studio.settle();
    QCOMPARE(status(1)->property("tone").toString(), QStringLiteral("error"));
    QCOMPARE(status(2)->property("tone").toString(), QStringLiteral("secondary"));

    // A rescan without dock 3 drops its row; the remaining rows stay.
    studio.fake.docks->listed.pop_back();
    studio.click("rescanButton");
    studio.settle();
    QCOMPARE(studio.window->findChildren<QFrame*>(QRegularExpression("^deviceRow_")).size(), 2);
}

int main(int argc, char** argv)
{
    // Widgets draw offscreen, so the test needs no display wherever it is started from.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    applyStudioStyle(app);
    StudioWindowTests tests;
    return QTest::qExec(&tests, argc, argv);
}

#include "StudioWindowTests.moc"
