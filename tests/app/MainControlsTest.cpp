// The main window driven through its real controls: mouse clicks, typed keys, shortcuts,
// menu actions and drags started with the mouse.

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDrag>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QToolButton>
#include <QWheelEvent>

#include "app/MainFixture.h"
#include "dialogs/Misc.h"
#include "platform/ProgramFolder.h"
#include "platform/gui/UpDown.h"

namespace tessel {
namespace {

class ControlsTest : public MainWindowTest {
  protected:
    void ClickBlock(int row) { ClickEntry(F().lstBlocks, row); }

    // A right click on a control: its context menu opens.
    static void RightClick(QWidget* control, QPoint at = {5, 5}) {
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, control->mapToGlobal(at));
        QApplication::sendEvent(control, &event);
    }

    static void Wheel(QWidget* control, int eighthsOfADegree) {
        const QPointF at(control->width() / 2.0, control->height() / 2.0);
        QWheelEvent event(at, control->mapToGlobal(at), QPoint(), QPoint(0, eighthsOfADegree),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(control, &event);
    }

    // Presses the left button on `from` of a list and moves the mouse until the drag starts;
    // the scripted drag drops on `target` at `to`.
    void DragWithTheMouse(QListWidget* list, int row, QWidget* target, QPoint to) {
        ui.AnswerDrag([target, to](QDrag& drag) {
            return TScriptedUiServices::DeliverDrop(drag, *target, to);
        });
        const QPoint from = list->visualItemRect(list->item(row)).center();
        const QPoint away = from + QPoint(QApplication::startDragDistance() + 4, 0);
        QTest::mousePress(list->viewport(), Qt::LeftButton, {}, from);
        QTest::mouseMove(list->viewport(), away);
        QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, away);
    }
    QPoint EntryCentre(QListWidget* list, int row) {
        return list->visualItemRect(list->item(row)).center();
    }
};

TEST_F(ControlsTest, TheLeftPaneStarts250WideAndOnlyTheEditorFollowsTheWindow) {
    settings.store.DeleteKey(TTestSettings::Key("Position"));
    OpenShown();
    EXPECT_TRUE(window->isMaximized());
    EXPECT_EQ(F().pnlPagelette->width(), 250);
    // The longest caption above the lists fits the pane's narrowest width.
    EXPECT_GE(F().btnTemplate->width(), F().btnTemplate->sizeHint().width());
    window->showNormal();
    for (const int width : {1100, 700, 900}) {
        window->resize(width, 600);
        EXPECT_TRUE(QTest::qWaitFor([&] { return window->width() == width; }));
        EXPECT_EQ(F().pnlPagelette->width(), 250) << width;
    }
}

TEST_F(ControlsTest, AStoredPaneWidthComesBackExactly) {
    settings.Set("Position", "WindowState", "Normal");
    settings.Set("Position", "Left", "10");
    settings.Set("Position", "Top", "10");
    settings.Set("Position", "Width", "800");
    settings.Set("Position", "Height", "600");
    settings.Set("Position", "PaneWidth", "321");
    OpenShown();
    EXPECT_EQ(F().pnlPagelette->width(), 321);
    window->resize(1000, 600);
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->width() == 1000; }));
    EXPECT_EQ(F().pnlPagelette->width(), 321);

    // The splitter's handle dragged 40 pixels to the right.
    QSplitterHandle* handle = F().Splitter->handle(1);
    QTest::mousePress(handle, Qt::LeftButton, {}, QPoint(2, 20));
    QTest::mouseMove(handle, QPoint(42, 20));
    QTest::mouseRelease(handle, Qt::LeftButton, {}, QPoint(42, 20));
    EXPECT_EQ(F().pnlPagelette->width(), 361);
    ASSERT_TRUE(window->close());
    EXPECT_EQ(settings.Get("Position", "PaneWidth"), "361");
}

TEST_F(ControlsTest, AFirstStartMakesTheFoldersEveryFileDialogStartsIn) {
    for (const char* folder : {"TesselFiles", "Templates", "Upload"})
        std::filesystem::remove_all(home + folder);
    OpenShown();
    for (const char* folder : kProgramSubFolders)
        EXPECT_TRUE(std::filesystem::is_directory(home + folder)) << folder;

    ui.AnswerFileDialog(std::nullopt);
    Click(F().btnSave);
    ui.AnswerFileDialog(std::nullopt);
    Click(F().btnTemplate);
    ClickBlock(1);  // the image
    ui.AnswerFileDialog(std::nullopt);
    Click(F().btnImagePic);
    ui.AnswerFileDialog(std::nullopt);
    Click(F().btnImageIE);
    ui.AnswerFileDialog(std::nullopt);
    Click(F().btnImageLink);
    ClickBlock(3);  // the paragraph
    ui.AnswerFileDialog(std::nullopt);
    Click(F().btnTextImport);

    const std::vector<TShownFileDialog>& dialogs = ui.FileDialogs();
    ASSERT_EQ(dialogs.size(), 6u);
    EXPECT_EQ(dialogs[0].kind, TFileDialogKind::Save);
    EXPECT_EQ(dialogs[0].request.folder.toStdString(), home + "TesselFiles/");
    EXPECT_EQ(dialogs[0].request.filter, "Tessel Files (*.pgx)");
    EXPECT_EQ(dialogs[1].request.folder.toStdString(), home + "Templates/");
    EXPECT_EQ(dialogs[1].request.filter, "Tessel Template (*.pgt)");
    EXPECT_EQ(dialogs[2].kind, TFileDialogKind::Picture);
    EXPECT_EQ(dialogs[2].request.folder.toStdString(), home + "Upload/images/");
    EXPECT_TRUE(dialogs[2].request.filter.contains("*.gif"))
        << dialogs[2].request.filter.toStdString();
    EXPECT_EQ(dialogs[3].request.filter, "Internet Shortcuts (*.url)");
    // Browse after the favourites offers every file, not shortcuts.
    EXPECT_EQ(dialogs[4].request.filter, "All Files (*)");
    EXPECT_EQ(dialogs[5].request.filter, "Text Files (*.txt)");
}

TEST_F(ControlsTest, DelBelongsToTheListOrEditThatHasTheFocus) {
    OpenShown();
    for (const TMetaTag& tag : {TMetaTag{"Keywords", "rowing"}, TMetaTag{"Author", "Ann"}}) {
        ui.AnswerExec([tag](QDialog& dialog) {
            dynamic_cast<TfrmMisc&>(dialog).SetMetaTag(tag);
            dialog.accept();
        });
        Click(F().btnMetaAdd);
    }
    Activate();
    ClickEntry(F().lstMeta, 0);
    ASSERT_EQ(QApplication::focusWidget(), F().lstMeta);
    QTest::keyClick(F().lstMeta, Qt::Key_Delete);
    EXPECT_EQ(F().lstMeta->Lines(), QStringList{"Author\tAnn"});
    EXPECT_TRUE(ui.Messages().empty());

    ClickBlock(2);  // the link
    Click(F().chkLink);
    for (const char* text : {"One", "Two", "Three"}) {
        QTest::keyClicks(F().txtLinkAddress, QStringLiteral("http://%1.example/").arg(text));
        QTest::keyClicks(F().txtLinkText, text);
        Click(F().btnLinkAdd);
    }
    ClickEntry(F().lstLinks, 0);
    ASSERT_EQ(QApplication::focusWidget(), F().lstLinks);
    QTest::keyClick(F().lstLinks, Qt::Key_Delete);
    EXPECT_EQ(F().lstLinks->Lines(),
              (QStringList{"http://Two.example/\tTwo", "http://Three.example/\tThree"}));
    EXPECT_EQ(Page().Count(), 4);
    EXPECT_TRUE(ui.Messages().empty());

    // A list box of choices keeps the key too.
    ClickBlock(3);
    DropFromPalette(btBullet, 4);
    F().cbBullets->setFocus();
    QTest::keyClick(F().cbBullets, Qt::Key_Delete);
    EXPECT_TRUE(ui.Messages().empty());

    // With a button in focus the key is the window's: it deletes the selected block.
    F().btnNew->setFocus();
    ui.AnswerMessage(mbNo);
    QTest::keyClick(F().btnNew, Qt::Key_Delete);
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].text, "Do you want to delete the selected Pagelette item?");

    ClickBlock(2);
    ui.AnswerMessage(mbYes);
    QTest::keyClick(F().lstBlocks, Qt::Key_Delete);
    EXPECT_EQ(Page().Count(), 4);
    EXPECT_EQ(Page().Items(2).BlockType, btText);
}

TEST_F(ControlsTest, TabLeavesTheParagraphButGoesIntoTheBulletList) {
    OpenShown();
    ClickBlock(3);
    F().txtText->setFocus();
    QTest::keyClicks(F().txtText, "We row");
    QTest::keyClick(F().txtText, Qt::Key_Tab);
    EXPECT_EQ(F().txtText->toPlainText(), "We row");
    EXPECT_NE(QApplication::focusWidget(), F().txtText);

    DropFromPalette(btBullet, 4);
    F().txtBullets->setFocus();
    QTest::keyClick(F().txtBullets, Qt::Key_Tab);
    QTest::keyClicks(F().txtBullets, "Sculls");
    EXPECT_EQ(F().txtBullets->toPlainText(), "\tSculls");
    EXPECT_EQ(QApplication::focusWidget(), F().txtBullets);
}

TEST_F(ControlsTest, TheLineWidthMovesWithItsArrowsTheWheelAndTheKeys) {
    OpenShown();
    DropFromPalette(btHR, 4);
    TUpDown* updn = F().updnHRWidth;
    QLineEdit* shown = F().txtHRWidth;
    auto width = [&] { return shown->text().toInt(); };
    EXPECT_EQ(width(), 100);

    Click(updn->UpButton());  // no further than 100, no wrap
    EXPECT_EQ(width(), 100);
    Click(updn->DownButton());
    Click(updn->DownButton());
    EXPECT_EQ(width(), 90);
    EXPECT_EQ(F().bevHR->width(), 225);
    EXPECT_EQ(F().bevHR->x(), (F().pnlHRPreview->contentsRect().width() - 225) / 2);
    EXPECT_EQ(QApplication::focusWidget(), updn);

    QTest::keyClick(updn, Qt::Key_Down);
    EXPECT_EQ(width(), 85);
    QTest::keyClick(shown, Qt::Key_Down);  // the keys work on the number too
    EXPECT_EQ(width(), 80);
    QTest::keyClick(shown, Qt::Key_Up);
    EXPECT_EQ(width(), 85);
    QTest::keyClicks(shown, "3");  // the number itself is not typed over
    EXPECT_EQ(shown->text(), "85");

    Wheel(updn, 120);
    EXPECT_EQ(width(), 90);
    Wheel(shown, -240);
    EXPECT_EQ(width(), 80);
    Wheel(updn, -60);  // half a notch of a fine wheel: not yet a step
    EXPECT_EQ(width(), 80);
    Wheel(updn, -60);
    EXPECT_EQ(width(), 75);

    for (int i = 0; i < 20; ++i) QTest::keyClick(updn, Qt::Key_Down);
    EXPECT_EQ(width(), 5);  // no wrap at the bottom either
    EXPECT_EQ(F().bevHR->width(), 12);
    Click(updn->UpButton());
    EXPECT_EQ(F().bevHR->width(), 25);

    ClickBlock(0);
    EXPECT_EQ(Page().Items(4).HRBlock().Width, 10);
    ClickBlock(4);
    EXPECT_EQ(shown->text(), "10");
    EXPECT_EQ(F().bevHR->width(), 25);
}

TEST_F(ControlsTest, ThePreviewShowsALineWithOrWithoutShade) {
    OpenShown();
    DropFromPalette(btHR, 4);
    EXPECT_EQ(F().bevHR->frameShape(), QFrame::Panel);
    EXPECT_EQ(F().bevHR->frameShadow(), QFrame::Sunken);
    const QImage shaded = F().bevHR->grab().toImage();
    Click(F().chkNoShade);
    EXPECT_EQ(F().bevHR->frameShape(), QFrame::NoFrame);
    EXPECT_NE(F().bevHR->grab().toImage(), shaded);

    // A stored line shows as it was left.
    ClickBlock(0);
    ClickBlock(4);
    EXPECT_TRUE(F().chkNoShade->isChecked());
    EXPECT_EQ(F().bevHR->frameShape(), QFrame::NoFrame);
    Click(F().chkNoShade);
    EXPECT_EQ(F().bevHR->frameShape(), QFrame::Panel);
}

TEST_F(ControlsTest, DragsStartWithTheMouseAndDropWhereTheyAreLetGo) {
    OpenShown();
    // Palette entry "Bullet List" onto the third entry: a new block there.
    DragWithTheMouse(F().lstPalette, 4, F().lstBlocks->viewport(), EntryCentre(F().lstBlocks, 2));
    EXPECT_EQ(ui.Drags(), 1);
    ASSERT_EQ(Page().Count(), 5);
    EXPECT_EQ(Page().Items(2).BlockType, btBullet);
    EXPECT_EQ(F().pnlPanels->currentWidget(), F().pnlBullets);

    // A block dragged onto another entry moves there.
    DragWithTheMouse(F().lstBlocks, 4, F().lstBlocks->viewport(), EntryCentre(F().lstBlocks, 1));
    EXPECT_EQ(Page().Items(1).BlockType, btText);
    EXPECT_EQ(Page().Items(2).BlockType, btImage);

    // A block dragged onto the bin is deleted after the question.
    ui.AnswerMessage(mbYes);
    DragWithTheMouse(F().lstBlocks, 1, F().imgTrash, {5, 5});
    ASSERT_EQ(Page().Count(), 4);
    EXPECT_EQ(Page().Items(1).BlockType, btImage);

    // The first entry does not move, and a palette entry is no bin's business.
    const int drags = ui.Drags();
    const QPoint first = EntryCentre(F().lstBlocks, 0);
    QTest::mousePress(F().lstBlocks->viewport(), Qt::LeftButton, {}, first);
    QTest::mouseMove(F().lstBlocks->viewport(), first + QPoint(30, 0));
    QTest::mouseRelease(F().lstBlocks->viewport(), Qt::LeftButton, {}, first + QPoint(30, 0));
    EXPECT_EQ(ui.Drags(), drags);
    DragWithTheMouse(F().lstPalette, 0, F().imgTrash, {5, 5});
    EXPECT_EQ(Page().Count(), 4);

    // Drop-box entries exchange places.
    ClickBlock(3);
    Click(F().chkLink);
    for (const char* text : {"One", "Two"}) {
        QTest::keyClicks(F().txtLinkAddress, QStringLiteral("http://%1.example/").arg(text));
        QTest::keyClicks(F().txtLinkText, text);
        Click(F().btnLinkAdd);
    }
    DragWithTheMouse(F().lstLinks, 0, F().lstLinks->viewport(), EntryCentre(F().lstLinks, 1));
    EXPECT_EQ(F().lstLinks->Lines(),
              (QStringList{"http://Two.example/\tTwo", "http://One.example/\tOne"}));
}

TEST_F(ControlsTest, TheButtonsMenuItemsAndShortcutsRunTheirCommands) {
    THelpViewer viewer(QString::fromUtf8(TESSEL_SOURCE_DATA "/help/"));
    help = &viewer;
    OpenShown();

    EXPECT_TRUE(F().btnUpload->isEnabled());

    ui.AnswerFileDialog(std::nullopt);
    Trigger("mnuSave");
    ui.AnswerFileDialog(std::nullopt);
    Trigger("mnuCreateTemplate");
    ASSERT_EQ(ui.FileDialogs().size(), 2u);
    EXPECT_EQ(ui.FileDialogs()[0].request.defaultSuffix, "pgx");
    EXPECT_EQ(ui.FileDialogs()[1].request.defaultSuffix, "pgt");

    // New asks about the typed title, with the button, the menu and the key.
    QTest::keyClicks(F().txtPageTitle, "Club");
    ui.AnswerMessage(mbCancel);
    Click(F().btnNew);
    EXPECT_EQ(F().txtPageTitle->text(), "Club");
    ui.AnswerMessage(mbNo);
    Trigger("mnuNew");
    EXPECT_EQ(F().txtPageTitle->text(), "");
    QTest::keyClicks(F().txtPageTitle, "Club");
    ui.AnswerMessage(mbNo);
    QTest::keyClick(F().txtPageTitle, Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(F().txtPageTitle->text(), "");
    EXPECT_EQ(ui.Messages().size(), 3u);

    Click(F().btnCreate);
    EXPECT_TRUE(F().btnCreate->isChecked());
    EXPECT_TRUE(F().pnlCreate->isVisible());

    Click(F().btnHelp);
    EXPECT_TRUE(viewer.isVisible());
    viewer.hide();
    Trigger("mnuHelpContents");
    EXPECT_TRUE(viewer.isVisible());
    viewer.hide();
    Trigger("mnuGettingStarted");
    EXPECT_TRUE(viewer.isVisible());
    EXPECT_TRUE(viewer.Browser()->source().toLocalFile().endsWith("getting-started.html"));
    viewer.hide();

    Click(F().btnHosting);
    Click(F().btnCustom);
    Trigger("mnuHelpWeb");
    Trigger("mnuHelpHosting");
    EXPECT_EQ(ui.OpenedWithDefaultProgram().size(), 4);

    ui.AnswerExec([](QDialog& dialog) { dialog.reject(); });
    Trigger("mnuTips");
    ui.AnswerExec([](QDialog& dialog) { dialog.reject(); });
    Trigger("mnuHelpAbout");
    EXPECT_EQ(ui.ExecutedDialogs(), (QStringList{"TfrmTips", "TSplashScreen"}));

    // The block menu offers Delete only on the block list.
    RightClick(F().btnSave);
    EXPECT_TRUE(window->PopBlocks()->isVisible());
    EXPECT_FALSE(window->findChild<QAction*>("mnuDelete")->isVisible());
    window->PopBlocks()->hide();
    ClickBlock(2);
    RightClick(F().lstBlocks->viewport(), EntryCentre(F().lstBlocks, 2));
    EXPECT_TRUE(window->findChild<QAction*>("mnuDelete")->isVisible());
    window->PopBlocks()->hide();
    ui.AnswerMessage(mbYes);
    Trigger("mnuDelete");
    EXPECT_EQ(Page().Count(), 3);

    // "What's This?" on a control pops up its topic.
    ClickBlock(0);
    RightClick(F().lblPageTitle);
    EXPECT_TRUE(window->PopWhatsThis()->isVisible());
    EXPECT_EQ(window->WhatsThisContext(), 10);
    window->PopWhatsThis()->hide();
    Trigger("mnuWhatsThis");
    EXPECT_EQ(window->WhatsThisContext(), 0);
    window.reset();  // before the viewer it points at
}

}  // namespace
}  // namespace tessel
