#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QToolButton>

#include "app/MainFixture.h"

namespace tessel {
namespace {

using BlockListTest = MainWindowTest;

TEST_F(BlockListTest, StartsWithTheDefaultPageAndSevenPaletteKinds) {
    Open();
    ASSERT_EQ(F().lstPalette->count(), 7);
    QStringList captions;
    for (int i = 0; i < 7; ++i) captions << F().lstPalette->item(i)->text();
    EXPECT_EQ(captions, (QStringList{"Heading", "Image", "Link", "Paragraph", "Bullet List", "Line",
                                     "Forms"}));
    ASSERT_EQ(F().lstBlocks->count(), 4);
    EXPECT_EQ(F().lstBlocks->item(0)->text(), "Page Details");
    EXPECT_EQ(F().lstBlocks->item(3)->text(), "Paragraph");
    EXPECT_EQ(window->PaletteKind(), btHeading);
    EXPECT_EQ(F().pnlPanels->currentWidget(), F().pnlPageProp);
    EXPECT_FALSE(window->Modified());
}

TEST_F(BlockListTest, PaletteClickChoosesTheKindOnly) {
    Open();
    F().lstPalette->setCurrentRow(5);
    EXPECT_EQ(window->PaletteKind(), btHR);
    EXPECT_EQ(Page().Count(), 4);
}

TEST_F(BlockListTest, DropOnPageDetailsInsertsAtOneWithTheKindsDefaults) {
    Open();
    DropFromPalette(btHeading, 0);
    ASSERT_EQ(Page().Count(), 5);
    TPageItem& heading = Page().Items(1);
    EXPECT_EQ(heading.BlockType, btHeading);
    EXPECT_EQ(heading.BlockAlign, baCenter);
    EXPECT_TRUE(heading.BlockOnNewLine);
    EXPECT_EQ(heading.HeadingBlock().Attributes, kDefaultFontDescription);
    EXPECT_EQ(F().lstBlocks->item(1)->text(), "Heading");
    EXPECT_EQ(F().lstBlocks->currentRow(), 1);
    EXPECT_EQ(window->CurrentBlockIndex(), 1);
    EXPECT_EQ(F().pnlPanels->currentWidget(), F().pnlHeading);
    EXPECT_TRUE(F().btnCenter->isChecked());
    EXPECT_FALSE(F().pnlAlign->isHidden());
}

TEST_F(BlockListTest, DropBelowTheLastEntryAppendsAndStoresTheOpenPanelFirst) {
    Open();
    F().lstBlocks->setCurrentRow(3);
    F().txtText->setPlainText("Hello\nthere");
    DropFromPalette(btHR, F().lstBlocks->count());
    ASSERT_EQ(Page().Count(), 5);
    EXPECT_EQ(Page().Items(4).BlockType, btHR);
    EXPECT_EQ(Page().Items(4).HRBlock().Width, 100);
    EXPECT_EQ(Page().Items(3).TextBlock().Text, "Hello\r\nthere");
    EXPECT_EQ(F().pnlPanels->currentWidget(), F().pnlHR);
    EXPECT_TRUE(window->Modified());
}

TEST_F(BlockListTest, OnlyOneFormsBlockPerPage) {
    Open();
    DropFromPalette(btForms, 4);
    ASSERT_EQ(Page().Count(), 5);
    ui.AnswerMessage(mbOK);
    DropFromPalette(btForms, 2);
    EXPECT_EQ(Page().Count(), 5);
    EXPECT_EQ(F().lstBlocks->count(), 5);
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].text, "Sorry, only one E-mail form per page is allowed.");
    EXPECT_EQ(ui.Messages()[0].kind, TMsgKind::Information);
}

TEST_F(BlockListTest, MovingABlockKeepsListAndPageInStep) {
    Open();
    F().lstBlocks->setCurrentRow(3);  // the paragraph
    window->lstBlocksDragDrop(TDragSource::Blocks, 1);
    EXPECT_EQ(Page().Items(1).BlockType, btText);
    EXPECT_EQ(Page().Items(2).BlockType, btImage);
    EXPECT_EQ(Page().Items(3).BlockType, btLink);
    for (int i = 0; i < Page().Count(); ++i) {
        EXPECT_EQ(Page().Items(i).Index(), i);
    }
    EXPECT_EQ(F().lstBlocks->item(1)->text(), "Paragraph");
    EXPECT_EQ(F().lstBlocks->item(3)->text(), "Link");
    EXPECT_EQ(window->CurrentBlockIndex(), 1);
    EXPECT_EQ(F().pnlPanels->currentWidget(), F().pnlText);
}

TEST_F(BlockListTest, NothingMovesAboveOrBelowTheListOrFromTheFirstEntry) {
    Open();
    F().lstBlocks->setCurrentRow(2);
    window->lstBlocksDragDrop(TDragSource::Blocks, 0);
    EXPECT_EQ(Page().Items(2).BlockType, btLink);

    F().lstBlocks->setCurrentRow(2);
    window->lstBlocksDragDrop(TDragSource::Blocks, F().lstBlocks->count());
    EXPECT_EQ(Page().Items(2).BlockType, btLink);
    EXPECT_EQ(F().lstBlocks->currentRow(), -1);

    F().lstBlocks->setCurrentRow(0);
    window->lstBlocksDragDrop(TDragSource::Blocks, 2);
    EXPECT_EQ(Page().Items(0).BlockType, btPageProperties);
    EXPECT_EQ(Page().Items(2).BlockType, btLink);

    window->lstBlocksDragDrop(TDragSource::Palette, -1);
    EXPECT_EQ(Page().Count(), 4);
}

TEST_F(BlockListTest, TheMarkerFollowsEntriesBelowTheFirst) {
    Open();
    window->resize(800, 600);
    QListWidget* list = F().lstBlocks;
    const QRect second = list->visualItemRect(list->item(2));
    EXPECT_TRUE(window->lstBlocksDragOver(TDragSource::Palette, second.center()));
    EXPECT_FALSE(F().shp->isHidden());
    EXPECT_EQ(F().shp->y(),
              list->geometry().top() - F().pnlMarker->geometry().top() + second.top() + 10);

    const QRect first = list->visualItemRect(list->item(0));
    EXPECT_TRUE(window->lstBlocksDragOver(TDragSource::Blocks, first.center()));
    EXPECT_TRUE(F().shp->isHidden());
    EXPECT_FALSE(window->lstBlocksDragOver(TDragSource::Links, second.center()));
    EXPECT_TRUE(window->lstPaletteDragOver(TDragSource::Palette));
    EXPECT_FALSE(window->lstPaletteDragOver(TDragSource::Blocks));
    EXPECT_TRUE(window->imgTrashDragOver(TDragSource::Blocks));
    EXPECT_FALSE(window->imgTrashDragOver(TDragSource::Palette));
}

TEST_F(BlockListTest, AQtDropOnTheListCreatesTheBlockUnderThePoint) {
    Open();
    window->resize(800, 600);
    window->show();
    F().lstPalette->setCurrentRow(4);  // Bullet List
    QListWidget* list = F().lstBlocks;
    QMimeData data;
    data.setData("application/x-tessel-drag", "palette");
    const QPoint at = list->visualItemRect(list->item(2)).center();
    QDragEnterEvent enter(at, Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list->viewport(), &enter);
    QDragMoveEvent move(at, Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list->viewport(), &move);
    EXPECT_TRUE(move.isAccepted());
    QDropEvent drop(QPointF(at), Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list->viewport(), &drop);
    ASSERT_EQ(Page().Count(), 5);
    EXPECT_EQ(Page().Items(2).BlockType, btBullet);
    EXPECT_TRUE(F().shp->isHidden());
}

TEST_F(BlockListTest, DeletingThroughTheBinSelectsThePreviousBlock) {
    Open();
    F().lstBlocks->setCurrentRow(2);
    ui.AnswerMessage(mbYes);
    window->imgTrashDragDrop(TDragSource::Blocks);
    ASSERT_EQ(Page().Count(), 3);
    EXPECT_EQ(Page().Items(2).BlockType, btText);
    EXPECT_EQ(ui.Beeps(), 1);
    EXPECT_EQ(ui.Messages().back().text, "Do you want to delete the selected Pagelette item?");
    EXPECT_EQ(ui.Messages().back().buttons, mbYes | mbNo);
    EXPECT_EQ(F().lstBlocks->currentRow(), 1);
    EXPECT_EQ(window->CurrentBlockIndex(), 1);
    EXPECT_EQ(F().pnlPanels->currentWidget(), F().pnlImages);
    EXPECT_TRUE(F().imgTrash->property("full").toBool());
}

TEST_F(BlockListTest, DeletingAskedAndRefused) {
    Open();
    F().lstBlocks->setCurrentRow(0);
    ui.AnswerMessage(mbOK);
    window->mnuDeleteClick();
    EXPECT_EQ(ui.Messages().back().text, "The Page Settings Block cannot be deleted.");
    EXPECT_EQ(ui.Beeps(), 0);

    F().lstBlocks->setCurrentRow(1);
    ui.AnswerMessage(mbNo);
    window->mnuDeleteClick();
    EXPECT_EQ(Page().Count(), 4);

    F().lstBlocks->setCurrentRow(-1);
    ui.AnswerMessage(mbYes);
    window->mnuDeleteClick();
    EXPECT_EQ(Page().Count(), 4);
}

TEST_F(BlockListTest, DeletingTheLastContentBlockEmptiesTheBin) {
    Open();
    for (int i = 0; i < 3; ++i) {
        F().lstBlocks->setCurrentRow(1);
        ui.AnswerMessage(mbYes);
        window->mnuDeleteClick();
    }
    EXPECT_EQ(Page().Count(), 1);
    EXPECT_FALSE(F().imgTrash->property("full").toBool());
    EXPECT_TRUE(F().pnlAlign->isHidden());
    EXPECT_EQ(F().pnlPanels->currentWidget(), F().pnlPageProp);
}

TEST_F(BlockListTest, DeletingTheFormsBlockClearsTheForm) {
    Open();
    DropFromPalette(btForms, 4);
    TPagelette& document = window->Document();
    document.WebForm().Add().Name = "Your name";
    document.Email = "me@example.org";
    document.Border = true;
    F().lstBlocks->setCurrentRow(4);
    ui.AnswerMessage(mbYes);
    window->mnuDeleteClick();
    EXPECT_EQ(document.WebForm().Count(), 0);
    EXPECT_EQ(document.Email, "");
    EXPECT_FALSE(document.Border);
    DropFromPalette(btForms, 4);
    EXPECT_EQ(Page().Items(4).BlockType, btForms);
}

TEST_F(BlockListTest, ClickingStoresThePanelAndRaisesTheFlag) {
    Open();
    F().lstBlocks->setCurrentRow(3);
    EXPECT_TRUE(window->Modified());  // the page settings were stored on the way
    F().txtText->setPlainText("Changed");
    F().btnRight->setChecked(true);
    F().btnParagraph->setChecked(false);
    F().lstBlocks->setCurrentRow(1);
    EXPECT_EQ(Page().Items(3).TextBlock().Text, "Changed");
    EXPECT_EQ(Page().Items(3).BlockAlign, baRight);
    EXPECT_FALSE(Page().Items(3).BlockOnNewLine);
    EXPECT_EQ(F().pnlPanels->currentWidget(), F().pnlImages);
    EXPECT_TRUE(F().btnLeft->isChecked());
    EXPECT_TRUE(F().btnParagraph->isChecked());
}

TEST_F(BlockListTest, AlignmentButtonsDoNotTouchThePageSettings) {
    Open();
    F().btnCenter->setChecked(true);
    window->StoreBlock();
    EXPECT_EQ(Page().Items(0).BlockAlign, baNone);
    EXPECT_TRUE(F().pnlAlign->isHidden());
}

TEST_F(BlockListTest, DeleteItemShowsOnlyOnTheBlockListWithASelection) {
    Open();
    QAction* remove = window->PopBlocks()->actions().first();
    window->popBlocksPopup(true);
    EXPECT_TRUE(remove->isVisible());
    window->popBlocksPopup(false);
    EXPECT_FALSE(remove->isVisible());
    F().lstBlocks->setCurrentRow(-1);
    window->popBlocksPopup(true);
    EXPECT_FALSE(remove->isVisible());
}

TEST_F(BlockListTest, RebuildShowsTheDocumentAndThePageSettings) {
    Open();
    InitNewBlock(window->Document(), 4, btBullet);
    window->RebuildBlockList();
    EXPECT_EQ(F().lstBlocks->count(), 5);
    EXPECT_EQ(F().lstBlocks->item(4)->text(), "Bullet List");
    EXPECT_EQ(window->CurrentBlockIndex(), 0);
    EXPECT_EQ(F().pnlPanels->currentWidget(), F().pnlPageProp);
}

}  // namespace
}  // namespace tessel
