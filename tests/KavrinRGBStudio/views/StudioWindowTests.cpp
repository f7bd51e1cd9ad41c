#include "KavrinRGBStudio/support/StudioFakes.hpp"
#include "KavrinRGBStudio/views/ColorWell.hpp"
#include "KavrinRGBStudio/views/DockLightPreview.hpp"
#include "KavrinRGBStudio/views/StudioStyle.hpp"
#include "KavrinRGBStudio/views/StudioWindow.hpp"
#include "RGBProtocol/animation/AnimationRenderer.hpp"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
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
    explicit Studio(bool demo = false, bool scan = true)
        : fake(demo)
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
    QWidget* row(std::uint64_t id) const { return find(QStringLiteral("deviceRow_%1").arg(id)); }
    void click(const QString& name) const { find<QAbstractButton>(name)->click(); }
    // Picks a colour through the well's dialog, as the user would.
    void pickColour(const QString& well, const QColor& colour) const
    {
        find<ColorWell>(well)->click();
        auto* dialog = find<ColorWell>(well)->findChild<QColorDialog*>("colorDialog");
        QVERIFY(dialog && dialog->isVisible());
        QVERIFY(!dialog->testOption(QColorDialog::ShowAlphaChannel));
        dialog->setCurrentColor(colour);
        dialog->accept();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
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
    void badgeAndEmptyState();
    void effectDecidesColourAndSpeed();
    void typedColourIsAppliedOnlyOnceComplete();
    void liveOutputFreezesTargetsAndModeSwitch();
    void startButtonNamesItsTargets();
    void syncPanelFollowsTicksAndRun();
    void softwareColourWellsFollowTheStyle();
    void previewAnimatesOnlyWhilePlayingAndShown();
    void previewFrameSpansTheLamp();
    void previewPaintsEachSegmentInItsColour();
    void pickedColoursConvertToDockColours();
    void rowsFollowSessionsAndScans();
    void previewTextsFollowModeAndLamp();
    void slidersWriteWholeNumbersBack();
    void platformTexts();
};

void StudioWindowTests::hardwareEditorFollowsTheSelectedDock()
{
    struct Case {
        const char* name;
        bool select;
        bool busy;
        bool expectEnabled;
    };
    for (const Case& test : {Case {"none selected", false, false, false}, Case {"selected idle", true, false, true},
                             Case {"selected busy", true, true, false}}) {
        Studio studio;
        if (test.select) {
            studio.model().select(1);
        }
        if (test.busy) {
            studio.model().read(); // queued, not yet run
        }
        for (const char* widget : {"hardwareControls", "readButton", "applyButton", "applySaveButton"}) {
            QVERIFY2(studio.enabled(widget) == test.expectEnabled, qPrintable(QString(test.name) + ": " + widget));
        }
        QVERIFY2(studio.enabled("lampSwitch") == test.expectEnabled, test.name);
        QVERIFY2(studio.shown("statusSpinner") == test.busy, test.name);
    }
}

void StudioWindowTests::badgeAndEmptyState()
{
    {
        Studio studio(false, false); // the first scan is still queued
        QCOMPARE(studio.text("emptyTitle"), QStringLiteral("正在查找设备"));
        studio.fake.docks->listed.clear();
        studio.settle();
        QVERIFY(studio.shown("emptyState"));
        QCOMPARE(studio.text("emptyTitle"), QStringLiteral("等待连接"));
        QCOMPARE(studio.text("badge"), QStringLiteral("未连接"));
        QCOMPARE(studio.text("headerSubtitle"), QStringLiteral("从左侧选择要调节的扩展坞"));
        QCOMPARE(studio.text("deviceCount"), QStringLiteral("灯光设备 · 0"));
    }
    {
        Studio studio;
        QVERIFY(!studio.shown("emptyState"));
        QCOMPARE(studio.text("badge"), QStringLiteral("未选择"));
        studio.click("deviceRow_2/selectButton");
        QCOMPARE(studio.text("badge"), QStringLiteral("已连接"));
        QCOMPARE(studio.text("headerSubtitle"), QStringLiteral("KAVRIN MIND CUBE · USB 0x01130000"));
        QCOMPARE(studio.row(2)->property("current").toString(), QStringLiteral("true"));
        QCOMPARE(studio.row(1)->property("current").toString(), QStringLiteral("false"));
        QVERIFY(!studio.shown("demoLabel"));
    }
    {
        Studio studio(true);
        QCOMPARE(studio.text("badge"), QStringLiteral("演示"));
        QVERIFY(studio.shown("demoLabel"));
    }
}

void StudioWindowTests::effectDecidesColourAndSpeed()
{
    Studio studio;
    studio.model().select(2); // MIND CUBE: wave, speed 3 once read
    studio.model().read();
    studio.settle();
    auto* speed = studio.find<QSlider>("speedSlider");
    QCOMPARE(speed->maximum(), 6);
    QCOMPARE(studio.text("speedValue"), QStringLiteral("3 / 6"));
    QCOMPARE(studio.find<QSlider>("brightnessSlider")->minimum(), 10);
    QCOMPARE(studio.text("deviceRow_2/rowStatus"), QStringLiteral("已读取 / 已确认"));

    studio.chooseEffect("effectPicker", LightingEffect::cycling);
    QCOMPARE(studio.model().settings().effect, LightingEffect::cycling);
    QVERIFY(!studio.enabled("colorRow"));
    QVERIFY(studio.enabled("speedSlider")); // the newer dock animates its cycle
    QCOMPARE(studio.text("deviceRow_2/rowStatus"), QStringLiteral("有未应用的编辑"));

    studio.chooseEffect("effectPicker", LightingEffect::solid);
    QVERIFY(studio.enabled("colorRow"));
    QVERIFY(!studio.enabled("speedSlider"));

    studio.model().select(1); // FORGE CUBE
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
    QCOMPARE(studio.model().hexText(), std::string("22C5"));
    QCOMPARE(studio.model().settings().color, before);
    QVERIFY(studio.shown("hexHint"));
    QVERIFY(!studio.enabled("applyButton"));
    QVERIFY(!studio.enabled("applySaveButton"));
    QVERIFY(studio.enabled("readButton"));

    QTest::keyClicks(field, "5E");
    QCOMPARE(studio.model().settings().color, (LightColor {0x22, 0xC5, 0x5E}));
    QVERIFY(!studio.shown("hexHint"));
    QVERIFY(studio.enabled("applyButton"));
    QCOMPARE(field->text(), QStringLiteral("22C55E"));

    studio.pickColour("colorWell", QColor(0x12, 0x34, 0x56));
    QCOMPARE(studio.model().hexText(), std::string("123456"));
    QCOMPARE(field->text(), QStringLiteral("123456"));

    studio.click("swatch_3B82F6");
    QCOMPARE(field->text(), QStringLiteral("3B82F6"));
    QCOMPARE(studio.find<ColorWell>("colorWell")->color(), (LightColor {0x3B, 0x82, 0xF6}));
}

void StudioWindowTests::liveOutputFreezesTargetsAndModeSwitch()
{
    Studio studio;
    studio.model().select(1);
    studio.model().setMode(StudioMode::software);
    studio.click("liveButton");
    QCOMPARE(studio.model().liveState(), LiveState::starting);

    QCOMPARE(studio.text("badge"), QStringLiteral("实时输出中"));
    QVERIFY(!studio.enabled("modeSwitch"));
    QVERIFY(!studio.enabled("syncSelectionRow"));
    QVERIFY(!studio.enabled("previewPlayButton"));
    QVERIFY(!studio.enabled("softwareEditing"));
    for (const std::uint64_t id : {1, 2, 3}) {
        QVERIFY(!studio.find(QStringLiteral("deviceRow_%1/syncCheck").arg(id))->isEnabled());
    }
    QCOMPARE(studio.text("deviceRow_1/rowStatus"), QStringLiteral("软件灯效 · 准备 / 还原"));
    QCOMPARE(studio.find<QAbstractButton>("liveButton")->text(), QStringLiteral("停止并还原"));

    studio.settle();
    QCOMPARE(studio.model().liveState(), LiveState::running);
    QCOMPARE(studio.text("deviceRow_1/rowStatus"), QStringLiteral("软件灯效 · 输出中"));
    QVERIFY(studio.enabled("softwareEditing"));
    QVERIFY(!studio.enabled("modeSwitch"));

    studio.click("liveButton");
    QCOMPARE(studio.model().liveState(), LiveState::stopping);
    QCOMPARE(studio.find<QAbstractButton>("liveButton")->text(), QStringLiteral("正在还原…"));
    QVERIFY(!studio.enabled("liveButton"));
    QVERIFY(!studio.enabled("softwareEditing"));

    studio.settle();
    QVERIFY(studio.enabled("modeSwitch"));
    QVERIFY(studio.enabled("deviceRow_1/syncCheck"));
    QCOMPARE(studio.text("badge"), QStringLiteral("已连接"));
}

void StudioWindowTests::startButtonNamesItsTargets()
{
    Studio studio;
    studio.model().setMode(StudioMode::software);
    auto* button = studio.find<QAbstractButton>("liveButton");
    QCOMPARE(button->text(), QStringLiteral("开始实时灯效"));
    QVERIFY(!button->isEnabled());
    QCOMPARE(studio.text("liveTargets"), QStringLiteral("目标：从左侧选择一台，或勾选多台同步"));

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
    QCOMPARE(studio.text("syncCount"), QStringLiteral("已勾选 1 台"));
    QCOMPARE(studio.text("syncTargetCount"), QStringLiteral("1 台"));
    QVERIFY(!studio.enabled("syncButton"));

    studio.click("deviceRow_2/syncCheck"); // FORGE CUBE with MIND CUBE: no wave
    auto* effects = studio.find<QComboBox>("syncEffect");
    QCOMPARE(effects->count(), 5);
    QVERIFY(studio.enabled("syncButton"));
    studio.chooseEffect("syncEffect", LightingEffect::flashing);
    QCOMPARE(studio.model().syncEffect(), LightingEffect::flashing);

    studio.click("syncButton");
    QCOMPARE(studio.find<QAbstractButton>("syncButton")->text(), QStringLiteral("正在同步…"));
    QVERIFY(!studio.enabled("syncButton"));
    QVERIFY(!studio.enabled("deviceRow_3/syncCheck"));
    QCOMPARE(studio.text("pendingLabel"), QStringLiteral("2 台设备正在操作"));

    studio.fake.docks->failing[{fakes::ScriptedDocks::Step::apply, 2}] = "写入失败";
    studio.settle();
    QCOMPARE(studio.find<QAbstractButton>("syncButton")->text(), QStringLiteral("同步应用"));
    QCOMPARE(studio.find<QLabel>("syncMessage")->property("tone").toString(), QStringLiteral("error"));
    QVERIFY(!studio.shown("pendingLabel"));

    studio.click("clearButton");
    QCOMPARE(effects->count(), 1);
    QCOMPARE(effects->currentText(), QStringLiteral("单色常亮"));
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
             Case {"style_cycling", false, false, false, false, false},
             Case {"style_rainbow", false, false, false, false, true},
             Case {"style_solid", true, false, false, true, false},
             Case {"style_gradient", true, true, false, true, false},
             Case {"style_candle", true, true, false, true, false},
             Case {"style_tricolor", true, true, true, true, false},
         }) {
        studio.click(test.style);
        QCOMPARE(studio.find(test.style)->property("current").toString(), QStringLiteral("true"));
        QVERIFY2(studio.enabled("primaryWell") == test.primary, test.style);
        QVERIFY2(studio.enabled("secondaryWell") == test.secondary, test.style);
        QVERIFY2(studio.enabled("tertiaryWell") == test.tertiary, test.style);
        QVERIFY2(studio.enabled("themeRow") == test.themes, test.style);
        QVERIFY2(studio.shown("rainbowHint") == test.rainbowHint, test.style);
    }

    studio.pickColour("secondaryWell", QColor(0x0A, 0x0B, 0x0C));
    QCOMPARE(studio.model().animation().secondary, (LightColor {0x0A, 0x0B, 0x0C}));
    QCOMPARE(studio.text("secondaryHex"), QStringLiteral("#0A0B0C"));

    studio.click("theme_ice");
    QCOMPARE(studio.text("primaryHex"), QStringLiteral("#6ED2FF"));
    QCOMPARE(studio.text("tertiaryHex"), QStringLiteral("#1E3CFF"));
    QCOMPARE(studio.model().animation().style, AnimationStyle::tricolor);
}

void StudioWindowTests::previewAnimatesOnlyWhilePlayingAndShown()
{
    Studio studio;
    auto* timer = studio.find<QTimer>("previewTimer");
    QVERIFY(timer->interval() >= 1000 / 30);
    QVERIFY(!timer->isActive()); // not shown yet
    studio.window->show();
    QVERIFY(timer->isActive());

    studio.click("previewPlayButton");
    QVERIFY(!studio.model().previewPlaying());
    QVERIFY(!timer->isActive());
    studio.click("previewPlayButton");
    QVERIFY(timer->isActive());

    studio.window->hide();
    QVERIFY(!timer->isActive());
    studio.window->show();
    QVERIFY(timer->isActive());
    studio.window->setWindowState(Qt::WindowMinimized);
    QTRY_VERIFY(!timer->isActive());
    studio.window->setWindowState(Qt::WindowNoState);
    QTRY_VERIFY(timer->isActive());
}

void StudioWindowTests::previewFrameSpansTheLamp()
{
    Studio studio;
    studio.model().select(3); // FORGE CUBE, lamp off once read
    studio.model().read();
    studio.settle();
    const double now = studio.model().previewElapsed();
    const PreviewFrame off = previewFrame(studio.model().previewSettings(), now);
    QCOMPARE(off.glow, (LightColor {0, 0, 0}));
    QVERIFY(std::ranges::all_of(off.strip, [](LightColor color) { return color == LightColor {0, 0, 0}; }));

    AnimationSettings animation = studio.model().animation();
    animation.style = AnimationStyle::solid;
    const PreviewFrame solid = previewFrame(animation, now);
    QVERIFY(std::ranges::all_of(solid.strip, [&solid](LightColor color) { return color == solid.glow; }));

    animation.style = AnimationStyle::rainbow;
    const PreviewFrame rainbow = previewFrame(animation, now);
    QCOMPARE(rainbow.strip.front(), AnimationRenderer::color(animation, now, 0.0));
    QCOMPARE(rainbow.strip.back(), AnimationRenderer::color(animation, now, 1.0));
    QVERIFY(rainbow.strip.front() != rainbow.strip.back());
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
                 qPrintable(QStringLiteral("segment %1 is %2, not #%3")
                                .arg(index)
                                .arg(painted.name())
                                .arg(QString::fromStdString(expected.hex()))));
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
    using Step = fakes::ScriptedDocks::Step;
    Studio studio;
    auto word = [&studio](std::uint64_t id) { return studio.text(QStringLiteral("deviceRow_%1/rowStatus").arg(id)); };
    auto tone = [&studio](std::uint64_t id) {
        return studio.find(QStringLiteral("deviceRow_%1/rowStatus").arg(id))->property("tone").toString();
    };
    QCOMPARE(word(1), QStringLiteral("尚未读取"));
    QCOMPARE(studio.find(QStringLiteral("deviceRow_2/syncCheck"))->accessibleName(),
             QStringLiteral("同步 KAVRIN MIND CUBE 0x01130000"));

    studio.model().select(1);
    studio.model().read();
    QCOMPARE(word(1), QStringLiteral("正在操作…"));
    QCOMPARE(studio.text("pendingLabel"), QStringLiteral("1 台设备正在操作"));
    studio.settle();
    QCOMPARE(word(1), QStringLiteral("已读取 / 已确认"));

    studio.fake.docks->failing[{Step::read, 1}] = "读取失败";
    studio.click("readButton");
    studio.settle();
    QCOMPARE(word(1), QStringLiteral("需要检查"));
    QCOMPARE(tone(1), QStringLiteral("error"));
    QCOMPARE(studio.text("statusText"), QStringLiteral("读取失败"));
    QCOMPARE(studio.find("statusText")->property("tone").toString(), QStringLiteral("error"));
    QCOMPARE(tone(2), QStringLiteral("secondary"));

    // A rescan without dock 3 drops its row; the remaining rows stay.
    studio.fake.docks->listed.pop_back();
    studio.click("rescanButton");
    QVERIFY(!studio.enabled("rescanButton"));
    studio.settle();
    QVERIFY(studio.enabled("rescanButton"));
    QCOMPARE(studio.window->findChildren<QFrame*>(QRegularExpression("^deviceRow_")).size(), 2);
    QCOMPARE(studio.text("deviceCount"), QStringLiteral("灯光设备 · 2"));
}

void StudioWindowTests::previewTextsFollowModeAndLamp()
{
    Studio studio;
    QCOMPARE(studio.text("previewCaption"), QStringLiteral("编辑预览 · 尚未应用"));
    studio.model().select(1);
    studio.model().read();
    studio.settle();
    QCOMPARE(studio.text("previewTitle"), QStringLiteral("呼吸"));
    QCOMPARE(studio.text("previewCaption"), QStringLiteral("当前参数的动画示意"));

    studio.click("lampSwitch");
    QVERIFY(!studio.model().settings().isOn);
    QCOMPARE(studio.text("previewTitle"), QStringLiteral("灯光关闭"));
    QCOMPARE(studio.text("previewCaption"), QStringLiteral("编辑预览 · 尚未应用"));

    studio.click("modeSoftware");
    QCOMPARE(studio.model().mode(), StudioMode::software);
    QVERIFY(!studio.shown("lampSwitch"));
    QVERIFY(!studio.shown("hardwareControls"));
    QCOMPARE(studio.text("previewTitle"), QStringLiteral("彩虹流动"));
    QCOMPARE(studio.text("previewCaption"), QStringLiteral("12 种软件样式 · 同时钟同步"));
}

void StudioWindowTests::slidersWriteWholeNumbersBack()
{
    Studio studio;
    studio.model().select(2);
    studio.find<QSlider>("brightnessSlider")->setValue(45);
    QCOMPARE(studio.model().settings().brightness, 45);
    QCOMPARE(studio.text("brightnessValue"), QStringLiteral("45%"));
    studio.find<QSlider>("speedSlider")->setValue(4);
    QCOMPARE(studio.model().settings().speed, 4);

    studio.model().setMode(StudioMode::software);
    auto* brightness = studio.find<QSlider>("animationBrightnessSlider");
    QCOMPARE(brightness->minimum(), 0);
    brightness->setValue(0);
    QCOMPARE(studio.model().animation().brightness, 0);
    studio.find<QSlider>("animationSpeedSlider")->setValue(7);
    QCOMPARE(studio.text("animationSpeedValue"), QStringLiteral("7 / 10"));
    QCOMPARE(studio.model().settings().brightness, 45); // the hardware edit is untouched
}

void StudioWindowTests::platformTexts()
{
    Studio studio;
    const QString cpu = studio.text("cpuLabel");
    QVERIFY(cpu.startsWith(QStringLiteral("原生 ")));
    QCOMPARE(cpu, cpu.toUpper());
    QVERIFY(cpu.size() > 3);
    QCOMPARE(studio.text("versionLabel"), QStringLiteral("v0.3.0 · Linux"));
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
