// The real message boxes: titled "quorrel", no icon, OK only or Yes and No, plain text with
// the help text's line breaks.

#include <QAbstractButton>
#include <QProxyStyle>
#include <QStyleFactory>
#include <functional>

#include "app_support.h"
#include "play/play.h"
#include "support/try_again.h"
#include "ui/window.h"
#include "window_ports.h"

namespace quorrel::apptest {
namespace {

// The window with its own message boxes.
class MessageBoxes : public WindowTest {
  protected:
    void SetUp() override { open(app::Services{nullptr, &random, &files}); }
};

struct Seen {
    bool shown = false;
    QString title;
    QString text;
    QString labelText;
    QMessageBox::Icon icon = QMessageBox::Information;
    QMessageBox::StandardButtons buttons;
    Qt::TextFormat format = Qt::AutoText;
    bool modal = false;
    QPushButton* defaultButton = nullptr;
    QMessageBox::StandardButton defaultStandard = QMessageBox::NoButton;
};

std::function<void(QMessageBox&)> note(Seen& seen) {
    return [&seen](QMessageBox& box) {
        seen.shown = true;
        seen.title = box.windowTitle();
        seen.text = box.text();
        if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
            seen.labelText = label->text();
        }
        seen.icon = box.icon();
        seen.buttons = box.standardButtons();
        seen.format = box.textFormat();
        seen.modal = box.isModal();
        seen.defaultButton = box.defaultButton();
        seen.defaultStandard = box.standardButton(box.defaultButton());
    };
}

// A plain "quorrel" box with only OK, shown with the given text.
void expectPlainOkBox(const Seen& seen, const QString& text) {
    EXPECT_TRUE(seen.shown);
    EXPECT_EQ(seen.title, "quorrel");
    EXPECT_EQ(seen.text, text);
    EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
    EXPECT_EQ(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
}

TEST_F(MessageBoxes, HelpShowsTheRulesWithTheirLineBreaks) {
    Seen seen;
    answerNextBox(note(seen), QMessageBox::Ok);
    action("help").trigger();
    ASSERT_TRUE(seen.shown);
    EXPECT_EQ(seen.title, "quorrel");
    EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
    EXPECT_EQ(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    EXPECT_EQ(seen.format, Qt::PlainText);
    EXPECT_TRUE(seen.modal);
    QString expected = QString::fromStdString(helpText());
    EXPECT_EQ(expected.count(QStringLiteral("\r\n")), 5);
    expected.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    EXPECT_EQ(seen.text, expected);
    EXPECT_EQ(seen.labelText, expected);
    EXPECT_FALSE(seen.text.contains(QLatin1Char('\r')));
    EXPECT_EQ(seen.text.count(QLatin1Char('\n')), 5);
    EXPECT_TRUE(seen.text.startsWith(QStringLiteral("     To create a new maze")));
    EXPECT_TRUE(seen.text.contains(QStringLiteral("\n     Click Retry")));
    EXPECT_TRUE(
        seen.text.contains(QStringLiteral("in each direction: visibility may be "
                                          "changed at any time.\n\n")));
}

TEST_F(MessageBoxes, RefusedSizeIsReportedWithOkOnly) {
    Seen seen;
    answerNextBox(note(seen), QMessageBox::Ok);
    typeInto(combo1(), "abc");
    QTest::mouseClick(&command1(), Qt::LeftButton);
    expectPlainOkBox(seen, "Maze dimensions must fall between 2 and 50");
}

TEST_F(MessageBoxes, PerfectWalkIsReportedWithOkOnly) {
    newMaze("10", "10");
    const std::vector<Square> route = wayOut(form());
    ASSERT_FALSE(route.empty());
    Seen seen;
    answerNextBox(note(seen), QMessageBox::Ok);
    QTest::mousePress(&board(), Qt::LeftButton, {}, centreOf(route.front()));
    for (std::size_t i = 1; i < route.size(); ++i) {
        QTest::mouseMove(&board(), centreOf(route[i]));
    }
    QTest::mouseRelease(&board(), Qt::LeftButton, {}, centreOf(route.back()));
    expectPlainOkBox(seen, "Perfect!");
}

TEST_F(MessageBoxes, QuestionsHaveYesAndNoAndReportTheChoice) {
    app::MessageBoxes boxes(window.get());
    Seen seen;
    answerNextBox(note(seen), QMessageBox::Yes);
    const std::string question = testing::tryAgain(4, "86.67");
    EXPECT_TRUE(boxes.ask(question));
    ASSERT_TRUE(seen.shown);
    EXPECT_EQ(seen.title, "quorrel");
    EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
    EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(seen.defaultStandard, QMessageBox::Yes);
    EXPECT_EQ(seen.text.toStdString(), question);

    answerNextBox([](QMessageBox&) {}, QMessageBox::No);
    EXPECT_FALSE(boxes.ask("again?"));
}

// A style that gives dialog buttons icons, as desktop themes on Linux do.
class ButtonIconStyle : public QProxyStyle {
  public:
    ButtonIconStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override {
        return hint == SH_DialogButtonBox_ButtonsHaveIcons
                   ? 1
                   : QProxyStyle::styleHint(hint, option, widget, data);
    }
};

TEST_F(MessageBoxes, ButtonsShowNoIconWhateverTheStyle) {
    const QString previous = QApplication::style()->name();
    QApplication::setStyle(new ButtonIconStyle);
    // How many buttons of the box that `show` opens carry an icon; the box is answered `answer`.
    const auto iconsOn = [](QMessageBox::StandardButton answer, const std::function<void()>& show) {
        int icons = -1;
        answerNextBox(
            [&icons](QMessageBox& box) {
                icons = 0;
                for (QAbstractButton* button : box.buttons()) {
                    icons += button->icon().isNull() ? 0 : 1;
                }
            },
            answer);
        show();
        return icons;
    };
    QMessageBox plain(QMessageBox::NoIcon, QStringLiteral("t"), QStringLiteral("x"),
                      QMessageBox::Yes | QMessageBox::No, window.get());
    EXPECT_EQ(iconsOn(QMessageBox::No, [&] { plain.exec(); }), 2) << "the style gives none";
    app::MessageBoxes boxes(window.get());
    EXPECT_EQ(iconsOn(QMessageBox::Ok, [&] { boxes.inform("Perfect!"); }), 0);
    EXPECT_EQ(iconsOn(QMessageBox::No, [&] { boxes.ask("try again?"); }), 0);
    QApplication::setStyle(QStyleFactory::create(previous));
}

TEST_F(MessageBoxes, EscapeAnswersNo) {
    app::MessageBoxes boxes(window.get());
    auto* timer = new QTimer(qApp);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            QTest::keyClick(box, Qt::Key_Escape);
        }
    });
    timer->start();
    EXPECT_FALSE(boxes.ask("try again?"));
}

TEST_F(MessageBoxes, ResultWithExtraMovesAsksAndYesRetries) {
    newMaze("10", "10");
    const std::vector<Square> route = wayOut(form());
    ASSERT_GE(route.size(), 3U);
    Seen seen;
    answerNextBox(note(seen), QMessageBox::Yes);
    // Down into row 1, on into the next square, back, and on again: the two squares passed
    // twice cost 2 extra moves each.
    QTest::mousePress(&board(), Qt::LeftButton, {}, centreOf(route[0]));
    QTest::mouseMove(&board(), centreOf(route[1]));
    QTest::mouseMove(&board(), centreOf(route[2]));
    QTest::mouseMove(&board(), centreOf(route[1]));
    for (std::size_t i = 2; i < route.size(); ++i) {
        QTest::mouseMove(&board(), centreOf(route[i]));
    }
    QTest::mouseRelease(&board(), Qt::LeftButton, {}, centreOf(route.back()));
    ASSERT_TRUE(seen.shown);
    EXPECT_EQ(seen.title, "quorrel");
    EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
    const auto moves = static_cast<Int>(route.size() + 1);
    EXPECT_EQ(seen.text.toStdString(), testing::tryAgain(4, percentText(moves, 4)));
    // Yes ran Retry: the counts are gone and the entrance square is white.
    EXPECT_EQ(text1().text(), "");
    EXPECT_EQ(boxColourOf(board(), form(), route.front()), kWhite);
}

}  // namespace
}  // namespace quorrel::apptest
