// The application object and the components around a form, under a real TApplication.
#include "Application.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"

#include "CaseTitle.h"
#include "ModalDriver.h"

#include "Exception.h"

#include <QContextMenuEvent>
#include <QMessageBox>
#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

namespace sveltor {
namespace {

// What the exception display showed.
struct TShown {
    QString Title, Text;
    QMessageBox::Icon Icon = QMessageBox::NoIcon;
    int Buttons = 0;
};

// Answers the next message box and records it.
void AnswerMessageBox(TShown& shown) {
    test::WhenModal([&shown](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        shown = {box->windowTitle(), box->text(), box->icon(), int(box->buttons().size())};
        box->button(QMessageBox::Ok)->click();
    });
}

// Waits, running events, until done() or about two seconds have gone.
template <class F> void RunUntil(F done) {
    for (int i = 0; i < 200 && !done(); ++i)
        QTest::qWait(10);
}

class ExceptionDisplay : public testing::Test {
protected:
    void SetUp() override { Application->SetTitle("Mac binaryheader kelpo"); }
    TShown Shown;
};

TEST_F(ExceptionDisplay, ClickHandlerExceptionIsShownAndTheProgramGoesOn) {
    TForm form(nullptr);
    TButton button(&form);
    int clicks = 0;
    QObject::connect(&button, &QPushButton::clicked, [&] {
        ++clicks;
        throw EFOpenError("/m/SONG.MID", ENOENT);
    });
    form.show();
    AnswerMessageBox(Shown);
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(Shown.Title, "Mac binaryheader kelpo");
    EXPECT_EQ(Shown.Text, "Cannot open file \"/m/SONG.MID\": No such file or directory.");
    EXPECT_EQ(Shown.Icon, QMessageBox::Critical);
    EXPECT_EQ(Shown.Buttons, 1);

    AnswerMessageBox(Shown);
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(clicks, 2) << "the next event was handled";
}

TEST_F(ExceptionDisplay, FullStopIsAddedEvenAfterOne) {
    AnswerMessageBox(Shown);
    Application->ShowException(Exception("It ends in a full stop."));
    EXPECT_EQ(Shown.Text, "It ends in a full stop..");
}

TEST_F(ExceptionDisplay, TimerHandlerExceptionIsShown) {
    TTimer timer(nullptr);
    timer.SetInterval(10);
    int ticks = 0;
    timer.OnTimer = [&](QObject*) {
        if (++ticks == 1)
            throw EInOutError("tick failed");
    };
    AnswerMessageBox(Shown);
    RunUntil([&] { return ticks >= 3; });
    EXPECT_EQ(Shown.Text, "tick failed.");
    EXPECT_GE(ticks, 3) << "the timer goes on";
}

TEST_F(ExceptionDisplay, QueuedCallExceptionIsShown) {
    QObject context;
    QMetaObject::invokeMethod(
        &context, [] { throw EInOutError("queued failed"); }, Qt::QueuedConnection);
    AnswerMessageBox(Shown);
    RunUntil([&] { return !Shown.Text.isEmpty(); });
    EXPECT_EQ(Shown.Text, "queued failed.");
}

TEST_F(ExceptionDisplay, DestructionNoticeExceptionIsShownAndTheFormStillGoes) {
    auto* form = new TForm(nullptr);
    auto* child = new TButton(form);
    bool childGone = false;
    QObject::connect(child, &QObject::destroyed, [&] { childGone = true; });
    form->OnDestroy = [](QObject*) { throw EFCreateError("/start/dir.hst", ENOENT); };
    AnswerMessageBox(Shown);
    delete form;
    EXPECT_EQ(Shown.Text, "Cannot create file \"/start/dir.hst\": No such file or directory.");
    EXPECT_TRUE(childGone);
}

TEST_F(ExceptionDisplay, AbortShowsNothing) {
    TForm form(nullptr);
    TButton button(&form);
    bool after = false;
    QObject::connect(&button, &QPushButton::clicked, [] { throw EAbort(); });
    form.show();
    QTest::mouseClick(&button, Qt::LeftButton);
    QTimer::singleShot(0, [&] { after = true; });
    RunUntil([&] { return after; });
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

struct TFailingForm : TForm {
    explicit TFailingForm(QWidget* owner) : TForm(owner) { throw EInOutError("no sequencer"); }
};

TEST(ApplicationForms, FailedCreationPutsTheReferenceBackToNull) {
    TFailingForm* form = reinterpret_cast<TFailingForm*>(&form);
    EXPECT_THROW(Application->CreateForm(form), EInOutError);
    EXPECT_EQ(form, nullptr);
}

TEST(ApplicationForms, FirstFormIsTheMainFormAndClosingItEndsRun) {
    TForm* first = nullptr;
    TForm* second = nullptr;
    Application->CreateForm(first);
    Application->CreateForm(second);
    EXPECT_EQ(Application->MainForm(), first);
    QTimer::singleShot(50, [first] { first->close(); });
    Application->Run();
    EXPECT_FALSE(first->isVisible());
    Application->DestroyForms();
    EXPECT_EQ(Application->MainForm(), nullptr);
}

TEST(Components, CloseKindButtonClosesItsForm) {
    TForm form(nullptr);
    TBitBtn button(&form);
    button.SetKind(TBitBtn::bkClose);
    EXPECT_FALSE(button.icon().isNull());
    form.show();
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_FALSE(form.isVisible());
}

TEST(Components, RightClickAnywhereOpensTheFormsPopupMenu) {
    TForm form(nullptr);
    TPopupMenu menu(&form);
    TMenuItem item(&menu);
    item.SetCaption("About...");
    menu.addAction(&item);
    form.PopupMenu = &menu;
    auto* child = new QLabel("child", &form);
    form.show();
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2),
                            child->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(child, &event);
    EXPECT_TRUE(menu.isVisible());
    int clicked = 0;
    item.OnClick = [&](QObject*) { ++clicked; };
    item.trigger();
    EXPECT_EQ(clicked, 1);
    menu.close();
}

TEST(Components, SpeedButtonShowsItsSecondImageWhileDisabledAndIgnoresClicks) {
    QPixmap glyph(32, 16);
    glyph.fill(Qt::red);
    {
        QPainter p(&glyph);
        p.fillRect(16, 0, 16, 16, Qt::gray);
    }
    TSpeedButton button(nullptr);
    button.SetGlyph(glyph, 2);
    button.SetHint("Convert");
    int clicks = 0;
    button.OnClick = [&](QObject*) { ++clicks; };
    button.show();
    EXPECT_EQ(button.toolTip(), "Convert");
    EXPECT_EQ(button.icon().pixmap(16, 16, QIcon::Disabled).toImage().pixelColor(8, 8),
              QColor(Qt::gray));
    EXPECT_EQ(button.icon().pixmap(16, 16, QIcon::Normal).toImage().pixelColor(8, 8),
              QColor(Qt::red));
    QTest::mouseClick(&button, Qt::LeftButton);
    button.setEnabled(false);
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
}

TEST(Components, StatusBarPanelsKeepTheirWidthsAndTheLastReachesTheEdge) {
    TForm form(nullptr);
    form.resize(400, 273);
    TStatusBar bar(&form);
    bar.setGeometry(0, 253, 400, 20);
    TStatusPanel& first = bar.Panels.Add();
    first.SetWidth(300);
    TStatusPanel& second = bar.Panels.Add();
    second.SetWidth(50);
    first.SetText("Ready");
    second.SetText("Time:");
    form.show();
    QApplication::processEvents();
    EXPECT_EQ(bar.Panels.Count(), 2u);
    EXPECT_EQ(first.width(), 300);
    EXPECT_GT(second.width(), 50) << "the last panel takes the rest";
    EXPECT_GE(second.geometry().right(), 400 - 30) << "up to the size grip";
    EXPECT_TRUE(bar.isSizeGripEnabled());
    EXPECT_EQ(bar.Panels[0].Text(), "Ready");
}

} // namespace
} // namespace sveltor
