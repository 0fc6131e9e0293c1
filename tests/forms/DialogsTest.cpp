#include "Unit2.h"
#include "Unit3.h"

#include "CaseTitle.h"
#include "ModalDriver.h"
#include "TestFiles.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

namespace sveltor {
namespace {

struct TGeometryCase {
    const char* Title; // the control's name
    const char* Parent;
    QRect Rect;
};

// A control stands where it was designed. A label may be wider: it widens to its text
// when the font is wider than the designed one.
void ExpectDesignedGeometry(const QWidget* control, const QRect& designed) {
    if (const auto* label = qobject_cast<const TLabel*>(control)) {
        EXPECT_EQ(label->pos(), designed.topLeft());
        EXPECT_EQ(label->height(), designed.height());
        EXPECT_GE(label->width(), designed.width());
        EXPECT_GE(label->width(), label->sizeHint().width()) << "the whole text shows";
    } else {
        EXPECT_EQ(control->geometry(), designed);
    }
}

// The control named by a row stands in its designed parent, where it was designed.
void ExpectControlAsDesigned(const QWidget& form, const TGeometryCase& row) {
    const auto* control = form.findChild<QWidget*>(row.Title);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->parentWidget()->objectName(), row.Parent);
    ExpectDesignedGeometry(control, row.Rect);
}

const TGeometryCase Form2Layout[] = {
    {"Label1", "Form2", {8, 16, 89, 12}},
    {"CheckBox1", "Form2", {16, 64, 97, 17}},
    {"OKButton", "Form2", {24, 152, 75, 25}},
    {"CancelButton", "Form2", {112, 152, 75, 25}},
    {"Panel1", "Form2", {8, 32, 201, 25}},
    {"Groupbox1", "Form2", {16, 88, 185, 57}},
    {"RadioButton1", "Groupbox1", {24, 16, 153, 17}},
    {"RadioButton2", "Groupbox1", {24, 32, 145, 17}},
};

class Form2Geometry : public testing::TestWithParam<TGeometryCase> {};

TEST_P(Form2Geometry, ControlStandsWhereItWasDesigned) {
    const TForm2 form(nullptr);
    ExpectControlAsDesigned(form, GetParam());
}

INSTANTIATE_TEST_SUITE_P(Controls, Form2Geometry, testing::ValuesIn(Form2Layout),
                         test::TCaseTitle());

TEST(Form2, OpensAsDesigned) {
    TForm2 form(nullptr);
    form.show();
    EXPECT_EQ(form.windowTitle(), "MacBin Header Found");
    EXPECT_EQ(form.size(), QSize(217, 191));
    EXPECT_EQ(form.pos(), QPoint(195, 109)) << "placed by its layout, not centred";
    EXPECT_TRUE(form.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(form.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_EQ(form.minimumSize(), form.maximumSize()) << "fixed size";
    EXPECT_TRUE(form.CheckBox1->isChecked());
    EXPECT_TRUE(form.RadioButton1->isChecked());
    EXPECT_EQ(form.Panel1->Caption(), "filename");
    EXPECT_EQ(form.PathParts, nullptr);
    EXPECT_TRUE(form.OKButton->isDefault());
    EXPECT_FALSE(form.OKButton->icon().isNull()) << "stock glyph";
    EXPECT_FALSE(form.CancelButton->icon().isNull()) << "stock glyph";
    EXPECT_TRUE(form.RadioButton1->font().fixedPitch());
    // Tab order: OK, Cancel, Make Backup, the two names.
    EXPECT_EQ(form.OKButton->nextInFocusChain(), form.CancelButton);
    EXPECT_EQ(form.CancelButton->nextInFocusChain(), form.CheckBox1);
}

TEST(Form2, MakeBackupSwitchesTheNameControlsAndKeepsTheChoice) {
    TForm2 form(nullptr);
    TSplitPath parts("/m/FILE.MID", codepage::Utf8);
    form.SetupBackupNames(parts);
    form.show();
    form.RadioButton2->click();
    QTest::mouseClick(form.CheckBox1, Qt::LeftButton);
    EXPECT_FALSE(form.CheckBox1->isChecked());
    EXPECT_FALSE(form.RadioButton1->isEnabled());
    EXPECT_FALSE(form.RadioButton2->isEnabled());
    EXPECT_FALSE(form.Panel1->isEnabled());
    EXPECT_TRUE(form.Label1->isEnabled());
    EXPECT_TRUE(form.Groupbox1->isEnabled());
    EXPECT_TRUE(form.RadioButton2->isChecked());
    EXPECT_EQ(form.Panel1->Caption(), "$ILE.MID");

    form.CheckBox1->setFocus();
    QTest::keyClick(form.CheckBox1, Qt::Key_Space);
    EXPECT_TRUE(form.RadioButton1->isEnabled());
    EXPECT_TRUE(form.RadioButton2->isEnabled());
    EXPECT_TRUE(form.Panel1->isEnabled());
    EXPECT_TRUE(form.RadioButton2->isChecked());
    EXPECT_EQ(form.Panel1->Caption(), "$ILE.MID");
}

struct TOptionCase {
    const char* Title;
    const char* Path;
    const char* Option1;
    const char* Option2;
};

class Form2Options : public testing::TestWithParam<TOptionCase> {};

TEST_P(Form2Options, PanelShowsTheChosenName) {
    const TOptionCase& c = GetParam();
    TForm2 form(nullptr);
    TSplitPath parts(c.Path, codepage::Utf8);
    form.SetupBackupNames(parts);
    form.show();
    EXPECT_EQ(form.Panel1->Caption(), QString::fromUtf8(c.Option1));
    QTest::mouseClick(form.RadioButton2, Qt::LeftButton, {}, QPoint(4, 8));
    EXPECT_EQ(form.Panel1->Caption(), QString::fromUtf8(c.Option2));
    QTest::mouseClick(form.RadioButton1, Qt::LeftButton, {}, QPoint(4, 8));
    EXPECT_EQ(form.Panel1->Caption(), QString::fromUtf8(c.Option1));
    EXPECT_EQ(form.RadioButton1->text(), "FILE.MID.BAK") << "the examples never change";
    EXPECT_EQ(form.RadioButton2->text(), "$ILE.MID");
}

INSTANTIATE_TEST_SUITE_P(
    Names, Form2Options,
    testing::Values(TOptionCase{"UpperCaseFile", "/m/FILE.MID", "FILE.MID.BAK", "$ILE.MID"},
                    TOptionCase{"NoExtension", "/m/README", "README.BAK", "$EADME"},
                    TOptionCase{"DotFile", "/m/.mid", ".mid.BAK", "$.mid"},
                    TOptionCase{"MultiByteFirstCharacter",
                                "/m/\xE6\x9B\xB2"
                                "A.mid",
                                "\xE6\x9B\xB2"
                                "A.mid.BAK",
                                "$$A.mid"}),
    test::TCaseTitle());

struct TCloseCase {
    const char* Title;
    void (*Close)(TForm2&);
    int Result;
};

const TCloseCase CloseCases[] = {
    {"OKButton", [](TForm2& f) { QTest::mouseClick(f.OKButton, Qt::LeftButton); }, mrOk},
    {"Enter", [](TForm2& f) { QTest::keyClick(&f, Qt::Key_Return); }, mrOk},
    {"CancelButton", [](TForm2& f) { QTest::mouseClick(f.CancelButton, Qt::LeftButton); },
     mrCancel},
    {"Escape", [](TForm2& f) { QTest::keyClick(&f, Qt::Key_Escape); }, mrCancel},
    {"CloseBox", [](TForm2& f) { f.close(); }, mrCancel},
};

class Form2Closing : public testing::TestWithParam<TCloseCase> {};

TEST_P(Form2Closing, GivesItsModalResult) {
    TForm2 form(nullptr);
    TSplitPath parts("/m/FILE.MID", codepage::Utf8);
    form.SetupBackupNames(parts);
    test::WhenModal([&](QWidget* modal) {
        ASSERT_EQ(modal, &form);
        GetParam().Close(form);
    });
    EXPECT_EQ(form.ShowModal(), GetParam().Result);
    EXPECT_FALSE(form.isVisible());
}

INSTANTIATE_TEST_SUITE_P(Ways, Form2Closing, testing::ValuesIn(CloseCases), test::TCaseTitle());

TEST(Form2, EachConversionGetsAFreshDialog) {
    for (int round = 0; round < 2; ++round) {
        TForm2BackupPrompt prompt(nullptr);
        ASSERT_NE(Form2, nullptr);
        TSplitPath parts("/m/FILE.MID", codepage::Utf8);
        test::WhenModal([](QWidget*) {
            EXPECT_TRUE(Form2->CheckBox1->isChecked());
            EXPECT_TRUE(Form2->RadioButton1->isChecked());
            EXPECT_EQ(Form2->Panel1->Caption(), "FILE.MID.BAK");
            Form2->RadioButton2->click();
            Form2->CheckBox1->click();
            QTest::keyClick(Form2, Qt::Key_Escape);
        });
        EXPECT_FALSE(prompt.Confirm(parts));
    }
    EXPECT_EQ(Form2, nullptr) << "destroyed with its conversion";
}

// A whole conversion of real files through the real dialog.
class ConvertHost : public TConvertHost {
public:
    std::vector<std::string> Statuses;
    void ShowStatus(const std::string& text) override { Statuses.push_back(text); }
    void DisableConvert() override {}
    void RefreshFileList() override {}
    std::unique_ptr<TBackupPrompt> CreateBackupPrompt() override {
        return std::make_unique<TForm2BackupPrompt>(nullptr);
    }
};

struct TConversionCase {
    const char* Title;
    void (*Answer)(TForm2&);
    const char* Status;
    std::vector<std::string> NamesAfter;
};

const TConversionCase ConversionCases[] = {
    {"OkWithOption1",
     [](TForm2& f) { f.OKButton->click(); },
     "Convert done.Made Backup",
     {"FILE.MID", "FILE.MID.BAK"}},
    {"OkWithOption2",
     [](TForm2& f) {
         f.RadioButton2->click();
         f.OKButton->click();
     },
     "Convert done.Made Backup",
     {"$ILE.MID", "FILE.MID"}},
    {"OkWithoutBackup",
     [](TForm2& f) {
         f.CheckBox1->click();
         f.OKButton->click();
     },
     "Convert done.No Backup",
     {"FILE.MID"}},
    {"Cancel", [](TForm2& f) { f.CancelButton->click(); }, "Cancelled", {"FILE.MID"}},
};

class ConvertThroughTheDialog : public testing::TestWithParam<TConversionCase> {};

TEST_P(ConvertThroughTheDialog, FilesEndAsChosen) {
    const TConversionCase& c = GetParam();
    test::TTempDir dir;
    const test::TBytes original = test::WrappedMidi(300);
    test::WriteBytes(dir / "FILE.MID", original);
    ConvertHost host;
    test::WhenModal([&](QWidget* modal) { c.Answer(*static_cast<TForm2*>(modal)); });

    ConvertFile(dir / "FILE.MID", dir.Path(), host, codepage::Utf8);

    EXPECT_EQ(host.Statuses.back(), c.Status);
    EXPECT_EQ(test::ListNames(dir.Path()), c.NamesAfter);
    const test::TBytes stripped(original.begin() + 128, original.end());
    EXPECT_EQ(test::ReadBytes(dir / "FILE.MID"),
              std::string(c.Status) == "Cancelled" ? original : stripped);
    EXPECT_EQ(Form2, nullptr);
}

INSTANTIATE_TEST_SUITE_P(Answers, ConvertThroughTheDialog, testing::ValuesIn(ConversionCases),
                         test::TCaseTitle());

const TGeometryCase AboutLayout[] = {
    {"Panel1", "AboutBox", {8, 8, 281, 137}},     {"ProgramIcon", "Panel1", {8, 8, 65, 57}},
    {"ProductName", "Panel1", {88, 16, 77, 12}},  {"Version", "Panel1", {88, 40, 63, 12}},
    {"Copyright", "Panel1", {8, 80, 102, 12}},    {"Comments", "Panel1", {8, 104, 169, 12}},
    {"OKButton", "AboutBox", {111, 156, 75, 25}},
};

class AboutBoxGeometry : public testing::TestWithParam<TGeometryCase> {};

TEST_P(AboutBoxGeometry, ControlStandsWhereItWasDesigned) {
    const TAboutBox box(nullptr);
    ExpectControlAsDesigned(box, GetParam());
}

INSTANTIATE_TEST_SUITE_P(Controls, AboutBoxGeometry, testing::ValuesIn(AboutLayout),
                         test::TCaseTitle());

TEST(AboutBox, ShowsItsTextsAndPicture) {
    TAboutBox box(nullptr);
    EXPECT_EQ(box.windowTitle(), QString::fromUtf8("ﾊﾞｰｼﾞｮﾝ情報"));
    EXPECT_EQ(box.size(), QSize(298, 192));
    EXPECT_EQ(box.ProductName->text(), "MacBin Trimmex");
    EXPECT_EQ(box.Version->text(), "Version 1.00");
    EXPECT_EQ(box.Comments->text(), "");
    const QPixmap picture = SkylinePicture();
    EXPECT_EQ(picture.size(), QSize(64, 56));
    EXPECT_TRUE(box.ProgramIcon->hasScaledContents());
}

TEST(AboutBox, JapaneseCaptionHasAGlyphForEveryCharacter) {
    TAboutBox box(nullptr);
    const QFontInfo info(box.font());
    EXPECT_EQ(info.family(), "IPAPGothic");
    const QFontMetrics metrics(box.font());
    for (const char32_t c : box.windowTitle().toUcs4())
        EXPECT_TRUE(metrics.inFontUcs4(c)) << "U+" << std::hex << unsigned(c);
}

struct TAboutCloseCase {
    const char* Title;
    void (*Close)(TAboutBox&);
};

class AboutBoxClosing : public testing::TestWithParam<TAboutCloseCase> {};

TEST_P(AboutBoxClosing, ClosesCentredOnTheScreen) {
    TAboutBox box(nullptr);
    QPoint centre;
    test::WhenModal([&](QWidget*) {
        centre = box.frameGeometry().center();
        GetParam().Close(box);
    });
    box.ShowModal();
    EXPECT_FALSE(box.isVisible());
    const QPoint screen = QGuiApplication::primaryScreen()->availableGeometry().center();
    EXPECT_LE((centre - screen).manhattanLength(), 2);
}

INSTANTIATE_TEST_SUITE_P(
    Ways, AboutBoxClosing,
    testing::Values(
        TAboutCloseCase{"OKButton",
                        [](TAboutBox& b) { QTest::mouseClick(b.OKButton, Qt::LeftButton); }},
        TAboutCloseCase{"Enter", [](TAboutBox& b) { QTest::keyClick(&b, Qt::Key_Return); }},
        TAboutCloseCase{"CloseBox", [](TAboutBox& b) { b.close(); }}),
    test::TCaseTitle());

TEST(AboutBox, EscapeDoesNotCloseIt) {
    TAboutBox box(nullptr);
    bool stillOpen = false;
    test::WhenModal([&](QWidget*) {
        QTest::keyClick(&box, Qt::Key_Escape);
        QApplication::processEvents();
        stillOpen = box.isVisible();
        box.OKButton->click();
    });
    box.ShowModal();
    EXPECT_TRUE(stillOpen);
}

} // namespace
} // namespace sveltor
