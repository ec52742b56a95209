#include "platform/gui/TessApplication.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <stdexcept>

#include "document/Exceptions.h"
#include "platform/gui/ScriptedUiServices.h"

namespace tessel {
namespace {

class TThrowingObject : public QObject {
  public:
    explicit TThrowingObject(std::function<void()> fault) : fault_(std::move(fault)) {}
    bool event(QEvent* event) override {
        if (event->type() == QEvent::User) {
            fault_();
            return true;
        }
        return QObject::event(event);
    }

  private:
    std::function<void()> fault_;
};

class TessApplicationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        app_ = qobject_cast<TTessApplication*>(QCoreApplication::instance());
        ASSERT_NE(app_, nullptr);
        previous_ = app_->UiServices();
        app_->SetUiServices(&ui_);
    }
    void TearDown() override {
        if (app_) {
            app_->SetUiServices(previous_);
        }
    }

    TTessApplication* app_ = nullptr;
    TUiServices* previous_ = nullptr;
    TScriptedUiServices ui_;
};

TEST_F(TessApplicationTest, AnExceptionEscapingAHandlerBecomesTheErrorBox) {
    TThrowingObject object([] { throw EStreamError("Invalid stream format"); });
    ui_.AnswerMessage(mbOK);
    QEvent event(QEvent::User);
    EXPECT_FALSE(QCoreApplication::sendEvent(&object, &event));
    ASSERT_EQ(ui_.Messages().size(), 1u);
    EXPECT_EQ(ui_.Messages()[0].kind, TMsgKind::Error);
    EXPECT_EQ(ui_.Messages()[0].text, "Invalid stream format");
    EXPECT_EQ(ui_.Messages()[0].buttons, mbOK);
    EXPECT_TRUE(ui_.Messages()[0].caption.isEmpty());
}

TEST_F(TessApplicationTest, PostedEventsAndForeignExceptionsAreCaughtToo) {
    TThrowingObject object([] { throw 42; });
    ui_.AnswerMessage(mbOK);
    QCoreApplication::postEvent(&object, new QEvent(QEvent::User));
    QCoreApplication::sendPostedEvents(&object, QEvent::User);
    ASSERT_EQ(ui_.Messages().size(), 1u);
    EXPECT_EQ(ui_.Messages()[0].text, "An unknown error occurred.");
}

TEST_F(TessApplicationTest, MessageBytesThatAreNotUtf8SurviveAsLatin1) {
    TThrowingObject object([] { throw std::runtime_error("Cannot open file caf\xE9.pgx"); });
    ui_.AnswerMessage(mbOK);
    QEvent event(QEvent::User);
    QCoreApplication::sendEvent(&object, &event);
    ASSERT_EQ(ui_.Messages().size(), 1u);
    EXPECT_EQ(ui_.Messages()[0].text, QString::fromUtf8("Cannot open file caf\xC3\xA9.pgx"));
}

}  // namespace
}  // namespace tessel
