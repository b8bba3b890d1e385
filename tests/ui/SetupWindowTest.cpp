// The setup window: its form, the typing rules of its boxes, Save, close and reopen, and the
// new addresses reaching the next Load.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "UiTestSupport.h"
#include "settings/RegistryText.h"
#include "ui/FileListBox.h"
#include "ui/MainWindow.h"
#include "ui/SetupWindow.h"

using namespace kelvarox;
using namespace kelvarox::testing;

namespace {

const std::string kStartupKey = "Software\\Qarn Programs\\Kelvarox\\Startup";
const std::string kPositionKey = "Software\\Qarn Programs\\Kelvarox\\Position";

struct SetupProgram : TestProgram {
    SetupWindow* setup = nullptr;
    std::unique_ptr<SetupForm> form;
    std::array<QLineEdit*, 8> boxes{};

    explicit SetupProgram(const std::string& storedValues = {}) {
        WriteBytes(telemetry / "listed.dat", BuildBlock(BlockRecipe{}));
        NameTelemetryDirectory();
        if (!storedValues.empty()) {
            std::string text = ReadText(settingsFile);
            WriteText(settingsFile, text + "\r\n" + storedValues);
        }
        Start();
        app->Start();
        setup = &app->Setup();
        form = std::make_unique<SetupForm>(*setup);
        // The first listing empties the main window's channel boxes when it comes in.
        EXPECT_TRUE(QTest::qWaitFor([&] { return !MainForm(app->Main()).blockList->names().empty(); }, 5000));
        boxes = {form->startAmDayEdit, form->endAmDayEdit, form->startOrbitEdit, form->endOrbitEdit,
                 form->startMAEdit,    form->endMAEdit,    form->maStepEdit,     form->channelEdit};
    }

    void Open() { app->Main().showSetup(); }

    // Types into an emptied box as the user would, each key pressed and released.
    void Retype(QLineEdit* box, const QString& keys) {
        box->setFocus();
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClicks(box, keys);
    }

    // Holds a key down until it has typed `count` characters: the system repeats its press,
    // and the box sees one release at the end (the repeated ones are marked as repeats).
    static void HoldKey(QLineEdit* box, Qt::Key key, const QString& text, int count) {
        for (int i = 0; i < count; ++i) {
            const bool repeat = i > 0;
            if (repeat) {
                QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text, true);
                QApplication::sendEvent(box, &release);
            }
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text, repeat);
            QApplication::sendEvent(box, &press);
        }
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text, false);
        QApplication::sendEvent(box, &release);
    }

    void Save() { QTest::mouseClick(form->saveButton, Qt::LeftButton); }

    // The text stored under a value of the settings file, nothing when the value is absent.
    std::optional<std::string> Stored(const std::string& key, const std::string& name) const {
        const auto doc = ParseRegistryText(ReadText(settingsFile));
        if (!doc) {
            ADD_FAILURE() << "the settings file does not parse";
            return std::nullopt;
        }
        const RegistryValue* value = FindValue(*doc, "HKEY_CURRENT_USER\\" + key, name);
        if (!value) return std::nullopt;
        return TextOfValue(*value);
    }
};

}  // namespace

TEST(SetupWindow, HasItsFormAndShowsTheLayoutWhenOpened) {
    SetupProgram p;
    SetupWindow& w = *p.setup;
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Setup         Kelvarox Decoder / Qarn"));
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(w.parentWidget(), &p.app->Main());
    EXPECT_TRUE(w.isWindow());
    EXPECT_EQ(w.size(), QSize(398, 233));
    EXPECT_EQ(w.minimumSize(), w.maximumSize());
    EXPECT_FALSE(w.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(w.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_EQ(w.pos(), QPoint(20, 20));
    EXPECT_EQ(p.form->startAmDayEdit->geometry(), QRect(128, 52, 40, 21));
    EXPECT_EQ(p.form->endOrbitEdit->geometry(), QRect(128, 164, 40, 21));
    EXPECT_EQ(p.form->startMAEdit->geometry(), QRect(296, 52, 40, 21));
    EXPECT_EQ(p.form->channelEdit->geometry(), QRect(296, 164, 40, 21));
    EXPECT_EQ(p.form->saveButton->geometry(), QRect(160, 200, 73, 25));
    EXPECT_EQ(p.form->saveButton->text(), QStringLiteral("Save"));
    EXPECT_EQ(p.form->headingLabel->text(), QStringLiteral("Block Byte Addresses for WOD Information"));
    EXPECT_EQ(p.form->firstByteLabel->text(), QStringLiteral("First Byte = Byte 0"));
    EXPECT_EQ(p.form->maStepLabel->text(), QStringLiteral("MA Step"));
    EXPECT_EQ(p.form->channelLabel->text(), QStringLiteral("Channel#:"));
    // Labels keep their place: the right edge of the right-aligned ones, the top of all.
    EXPECT_EQ(p.form->startAmDayLabel->geometry().right(), QRect(40, 56, 75, 13).right());
    EXPECT_EQ(p.form->endOrbitLabel->geometry().right(), QRect(57, 168, 58, 13).right());
    EXPECT_EQ(p.form->channelLabel->geometry().top(), 168);
    EXPECT_EQ(p.form->headingLabel->font().pixelSize(), 13);
    EXPECT_TRUE(p.form->headingLabel->font().bold());
    EXPECT_EQ(p.form->firstByteLabel->font().pixelSize(), 11);
    EXPECT_FALSE(p.form->firstByteLabel->font().bold());
    for (QWidget* bold :
         std::initializer_list<QWidget*>{p.form->startAmDayLabel, p.form->channelLabel, p.form->startAmDayEdit,
                                         p.form->channelEdit, p.form->saveButton}) {
        EXPECT_TRUE(bold->font().bold()) << bold->objectName().toStdString();
        EXPECT_EQ(bold->font().pixelSize(), 11) << bold->objectName().toStdString();
    }

    p.Open();
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(w.isModal());
    std::vector<std::string> texts;
    for (QLineEdit* box : p.boxes) texts.push_back(box->text().toStdString());
    EXPECT_EQ(texts, (std::vector<std::string>{"464", "495", "471", "502", "473", "504", "36", "60"}));

    // Tab goes through the boxes in order, then to Save.
    p.form->startAmDayEdit->setFocus();
    for (QWidget* next : std::initializer_list<QWidget*>{p.form->endAmDayEdit, p.form->startOrbitEdit,
                                                         p.form->endOrbitEdit, p.form->startMAEdit, p.form->endMAEdit,
                                                         p.form->maStepEdit, p.form->channelEdit, p.form->saveButton}) {
        QTest::keyClick(w.focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(w.focusWidget(), next);
    }
}

TEST(SetupWindow, BoxesTakeDigitsAndBackspaceAndEmptyAddressesAbove511) {
    SetupProgram p;
    p.Open();
    QLineEdit* box = p.form->startOrbitEdit;
    p.Retype(box, "512");
    EXPECT_EQ(box->text(), QString());
    p.Retype(box, "511");
    EXPECT_EQ(box->text(), QStringLiteral("511"));
    p.Retype(box, "0512");
    EXPECT_EQ(box->text(), QString());
    p.Retype(box, "51");
    QTest::keyClicks(box, "a -.x+");
    EXPECT_EQ(box->text(), QStringLiteral("51"));
    QTest::keyClick(box, Qt::Key_Backspace);
    EXPECT_EQ(box->text(), QStringLiteral("5"));
    // Text the program puts in is not filtered; the release of any key, a cursor key too, checks it.
    box->setText("600");
    EXPECT_EQ(box->text(), QStringLiteral("600"));
    QTest::keyClick(box, Qt::Key_Left);
    EXPECT_EQ(box->text(), QString());
    box->setText("abc");
    QTest::keyClick(box, Qt::Key_Shift);
    EXPECT_EQ(box->text(), QStringLiteral("abc"));  // no integer counts as 1
    // Nothing reaches the layout or the store while typing.
    EXPECT_EQ(p.app->State().Layout(), BlockLayout{});
    EXPECT_EQ(p.Stored(kStartupKey, "Start Orbit Addr."), std::nullopt);
}

TEST(SetupWindow, SaveStopsAtTheFirstBoxThatIsNoInteger) {
    SetupProgram p;
    p.Open();
    // Typed one by one, nines cannot get past 99; a held key types them in a row.
    p.Retype(p.form->startAmDayEdit, "99999999999");
    EXPECT_EQ(p.form->startAmDayEdit->text(), QStringLiteral("99"));
    p.Retype(p.form->startAmDayEdit, "");
    SetupProgram::HoldKey(p.form->startAmDayEdit, Qt::Key_9, "9", 11);
    EXPECT_EQ(p.form->startAmDayEdit->text(), QStringLiteral("99999999999"));
    p.Save();
    EXPECT_EQ(p.notifier.Texts(), (std::vector<std::string>{"'99999999999' is not a valid integer value."}));
    EXPECT_EQ(p.app->State().Layout(), BlockLayout{});
    EXPECT_TRUE(p.setup->isVisible());

    // The End Orbit box emptied: the three boxes before it are applied and stored, the rest is not.
    p.notifier.boxes.clear();
    p.Retype(p.form->startAmDayEdit, "000");
    p.Retype(p.form->endAmDayEdit, "20");
    p.Retype(p.form->startOrbitEdit, "036");
    p.Retype(p.form->endOrbitEdit, "");
    p.Retype(p.form->startMAEdit, "44");
    p.Save();
    EXPECT_EQ(p.notifier.Texts(), (std::vector<std::string>{"'' is not a valid integer value."}));
    const BlockLayout& layout = p.app->State().Layout();
    EXPECT_EQ(layout.startAmDayAddr, 0);
    EXPECT_EQ(layout.endAmDayAddr, 20);
    EXPECT_EQ(layout.startOrbitAddr, 36);
    EXPECT_EQ(layout.endOrbitAddr, 502);
    EXPECT_EQ(layout.startMAAddr, 473);
    EXPECT_EQ(p.Stored(kStartupKey, "Start Amday Addr."), "0");
    EXPECT_EQ(p.Stored(kStartupKey, "End  Amday Addr."), "20");
    EXPECT_EQ(p.Stored(kStartupKey, "Start Orbit Addr."), "36");
    EXPECT_EQ(p.Stored(kStartupKey, "End Orbit Addr."), std::nullopt);
    EXPECT_EQ(p.Stored(kStartupKey, "Start MA Addr."), std::nullopt);
    EXPECT_TRUE(p.setup->isVisible());
    EXPECT_EQ(p.Stored(kPositionKey, "Form3 Top"), std::nullopt);

    // A field of 0 is not refilled at the next opening; the others are.
    p.Retype(p.form->startAmDayEdit, "7");
    p.Retype(p.form->endAmDayEdit, "8");
    p.setup->close();
    p.Open();
    EXPECT_EQ(p.form->startAmDayEdit->text(), QStringLiteral("7"));
    EXPECT_EQ(p.form->endAmDayEdit->text(), QStringLiteral("20"));
}

TEST(SetupWindow, CloseStoresThePositionOnlyInTheNormalStateAndAppliesNothing) {
    SetupProgram p(
        "[HKEY_CURRENT_USER\\Software\\Qarn Programs\\Kelvarox\\Position]\r\n"
        "\"Form3 Top\"=\"130\"\r\n\"Form3 Left\"=\"140\"\r\n");
    EXPECT_EQ(p.setup->pos(), QPoint(140, 130));
    p.Open();
    p.Retype(p.form->endMAEdit, "300");
    p.setup->move(150, 160);
    EXPECT_TRUE(p.setup->close());
    EXPECT_FALSE(p.setup->isVisible());
    EXPECT_EQ(p.Stored(kPositionKey, "Form3 Left"), "150");
    EXPECT_EQ(p.Stored(kPositionKey, "Form3 Top"), "160");
    EXPECT_EQ(p.app->State().Layout().endMAAddr, 504);
    EXPECT_EQ(p.Stored(kStartupKey, "End MA Addr."), std::nullopt);
    EXPECT_EQ(p.form->endMAEdit->text(), QStringLiteral("300"));  // until the next opening

    // Setup while open changes nothing; reopened after a close, the layout is shown again.
    p.Open();
    EXPECT_EQ(p.form->endMAEdit->text(), QStringLiteral("504"));
    p.Retype(p.form->endMAEdit, "301");
    p.Open();
    EXPECT_EQ(p.form->endMAEdit->text(), QStringLiteral("301"));

    // Minimized and closed: no position is stored.
    p.setup->move(170, 180);
    p.setup->showMinimized();
    p.setup->close();
    EXPECT_EQ(p.Stored(kPositionKey, "Form3 Left"), "150");
    EXPECT_EQ(p.Stored(kPositionKey, "Form3 Top"), "160");
    EXPECT_TRUE(p.notifier.boxes.empty());
}

TEST(SetupWindow, SavedAddressesDecodeTheNextLoadAndLeaveTheShownBlockAlone) {
    SetupProgram p;
    const MainForm main(p.app->Main());
    BlockRecipe before;
    before.channel = "0140";
    before.samples = {1, 2, 3};
    // Outside the listed directory, whose changes would empty the main window's boxes.
    p.app->State().SelectBlockFile((p.home / "before.dat").string());
    WriteBytes(p.home / "before.dat", BuildBlock(before));
    QTest::mouseClick(main.loadButton, Qt::LeftButton);
    ASSERT_TRUE(p.notifier.boxes.empty());
    const BlockHeader shown = p.app->State().Loaded().header;

    BlockLayout moved;
    moved.startAmDayAddr = 400;
    moved.endAmDayAddr = 404;
    moved.startOrbitAddr = 408;
    moved.endOrbitAddr = 410;
    moved.startMAAddr = 412;
    moved.endMAAddr = 414;
    moved.maStepAddr = 416;
    moved.channelAddr = 418;
    p.Open();
    for (int i = 0; i < BlockLayout::kFieldCount; ++i)
        p.Retype(p.boxes[static_cast<size_t>(i)], QString::number(moved.Field(i)));
    p.Save();
    EXPECT_TRUE(p.notifier.boxes.empty());
    EXPECT_FALSE(p.setup->isVisible());
    EXPECT_EQ(p.app->State().Layout(), moved);
    EXPECT_EQ(p.Stored(kStartupKey, "Channel Addr."), "418");
    EXPECT_EQ(p.Stored(kStartupKey, "End  Amday Addr."), "404");
    EXPECT_EQ(p.Stored(kPositionKey, "Form3 Top"), std::nullopt);  // hiding by Save is no close
    // The block on display is not decoded again.
    EXPECT_EQ(p.app->State().Loaded().header.channel, shown.channel);
    EXPECT_EQ(p.app->State().Loaded().header.startOrbit, shown.startOrbit);
    EXPECT_EQ(main.channelEdit->text(), QStringLiteral("#140"));

    BlockRecipe after;
    after.channel = "0180";
    after.startOrbit = "50";
    after.endOrbit = "50";
    after.startMA = "00";
    after.endMA = "08";
    after.samples = {9, 8, 7};
    p.app->State().SelectBlockFile((p.home / "after.dat").string());
    WriteBytes(p.home / "after.dat", BuildBlock(after, moved));
    QTest::mouseClick(main.loadButton, Qt::LeftButton);
    EXPECT_TRUE(p.notifier.boxes.empty());
    EXPECT_EQ(main.channelEdit->text(), QStringLiteral("#180"));
    EXPECT_EQ(p.app->State().Loaded().header.startOrbit, 0x50);
    EXPECT_EQ(p.app->State().Loaded().header.lastSampleIndex, 2);
}

TEST(SetupWindow, AStoreThatRefusesWritesIsReportedAndCloseStillCloses) {
    SetupProgram p;
    p.Open();
    // A settings file that is no settings text is never overwritten.
    WriteText(p.settingsFile, "not a settings text\r\n");
    EXPECT_TRUE(p.setup->close());
    EXPECT_FALSE(p.setup->isVisible());
    EXPECT_EQ(p.notifier.Texts(), (std::vector<std::string>{"Failed to set data for 'Form3 Top'"}));

    // Save keeps the window open: the boxes are still there to save again.
    p.Open();
    p.notifier.boxes.clear();
    p.Retype(p.form->startAmDayEdit, "100");
    p.Save();
    EXPECT_EQ(p.notifier.Texts(), (std::vector<std::string>{"Failed to set data for 'Start Amday Addr.'"}));
    EXPECT_TRUE(p.setup->isVisible());
    EXPECT_EQ(p.app->State().Layout().endAmDayAddr, 495);
    EXPECT_EQ(ReadText(p.settingsFile), "not a settings text\r\n");
}

TEST(SetupWindow, PastedTextIsFilteredAndCheckedAsTypedText) {
    SetupProgram p;
    p.Open();
    QLineEdit* box = p.form->channelEdit;
    // By the context menu: no key is released afterwards, and the check runs all the same.
    QGuiApplication::clipboard()->setText(QStringLiteral("600"));
    p.Retype(box, "");
    box->paste();
    EXPECT_EQ(box->text(), QString());
    QGuiApplication::clipboard()->setText(QStringLiteral(" 4a-2.\t"));
    box->paste();
    EXPECT_EQ(box->text(), QStringLiteral("42"));
    // By the shortcut, into the middle of a number.
    QGuiApplication::clipboard()->setText(QStringLiteral("x1"));
    box->setCursorPosition(1);
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(box->text(), QStringLiteral("412"));
    box->paste();
    EXPECT_EQ(box->text(), QString());  // 4112
    box->paste();
    EXPECT_EQ(box->text(), QStringLiteral("1"));

    // Save never stores an address past the block.
    QGuiApplication::clipboard()->setText(QStringLiteral("9999"));
    p.Retype(p.form->startAmDayEdit, "");
    p.form->startAmDayEdit->paste();
    p.Save();
    EXPECT_EQ(p.notifier.Texts(), (std::vector<std::string>{"'' is not a valid integer value."}));
    EXPECT_EQ(p.Stored(kStartupKey, "Start Amday Addr."), std::nullopt);
}
