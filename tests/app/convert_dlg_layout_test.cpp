// Tests of the main dialog as it first appears: its controls, captions,
// geometry, tab order and option defaults.
#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTest>
#include <memory>

#include "app/convert_app.h"
#include "app/convert_dlg.h"
#include "app/dialog_units.h"
#include "app/help_window.h"
#include "tests/app/app_test_main.h"

using notora::CConvertDlg;
using notora::DialogUnits;

namespace {

struct ExpectedControl {
  int id;
  const char* caption;
  int x, y, width, height;
};

// The template as the user must see it, control by control in tab order.
const ExpectedControl kExpected[] = {
    {1002, "", 65, 5, 215, 15},
    {1000, "参照(&S)", 285, 5, 35, 15},
    {1001, "", 85, 25, 75, 15},
    {1008, "全角⇒JISｺｰﾄﾞ(&J)", 10, 50, 80, 15},
    {1011, "JISｺｰﾄﾞ⇒全角(&M)", 10, 65, 80, 15},
    {1010, "なし(&O)", 10, 80, 80, 15},
    {1009, "縦書き⇒横書き(&V)", 10, 95, 80, 15},
    {1019, "列数ｾﾞﾛをｴﾗｰ(&R)", 10, 115, 80, 15},
    {1012, "2121(ｽﾍﾟｰｽ)(&A)", 105, 54, 70, 15},
    {1013, "FFFF(&B)", 105, 70, 70, 15},
    {1014, "ｽﾍﾟｰｽ(&C)", 105, 105, 70, 15},
    {1015, "＂(&D)", 105, 120, 70, 15},
    {1018, "ﾌﾟﾗｽ(&X)", 190, 54, 45, 15},
    {1016, "ﾏｲﾅｽ(&Y)", 190, 70, 45, 15},
    {1017, "ｴﾗｰ(&Z)", 190, 85, 45, 15},
    {1004, "入力 前(&1)", 250, 54, 55, 15},
    {1005, "入力 後(&2)", 250, 70, 55, 15},
    {1006, "出力 前(&3)", 250, 85, 55, 15},
    {1007, "出力 後(&4)", 250, 100, 55, 15},
    {1, "実行", 165, 25, 35, 15},
    {2, "終了", 205, 25, 35, 15},
    {1003, "", 245, 25, 35, 15},
    {57670, "ﾍﾙﾌﾟ(&H)", 285, 25, 35, 15},
};

const char* const kStaticCaptions[] = {"元ファイル名:", "変換後ファイル名(&F):"};
const char* const kGroupTitles[] = {"変換", "JISｺｰﾄﾞ変換不可時", "全角変換不可時", "文字幅ﾏｲﾅｽ時",
                                    "縦書き 可変値"};

QString TextOf(QWidget* widget) {
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) return button->text();
  if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) return edit->text();
  return QString();
}

}  // namespace

class ConvertDlgLayoutTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    help_ = std::make_unique<notora::HelpWindow>();
    dialog_ = std::make_unique<CConvertDlg>(*help_);
    dialog_->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog_.get()));
  }

  void cleanup() {
    dialog_.reset();
    help_.reset();
  }

  // The selection of a fresh dialog.
  void freshDialogSelectsTheDefaults() {
    for (int id : {1008, 1012, 1014, 1018, 1004, 1006, 1019}) {
      QVERIFY2(Button(id)->isChecked(), qPrintable(QString::number(id)));
    }
    for (int id : {1011, 1010, 1013, 1015, 1016, 1017, 1005, 1007, 1009}) {
      QVERIFY2(!Button(id)->isChecked(), qPrintable(QString::number(id)));
    }
    QCOMPARE(Widget<QLineEdit>(1001)->text(), QString());
    QCOMPARE(dialog_->sourcePath(), QString());
    QCOMPARE(Widget<QLabel>(1003)->text(), QString());
    const notora::RunOptions& options = dialog_->options();
    QCOMPARE(options.conversionMode, notora::ConversionMode::kToJisCode);
    QCOMPARE(options.verticalToHorizontal, false);
    QCOMPARE(options.zeroColumnsIsError, true);
  }

  void everyControlHasItsCaptionAndName() {
    for (const ExpectedControl& expected : kExpected) {
      QWidget* widget = dialog_->findChild<QWidget*>(notora::ControlObjectName(expected.id));
      QVERIFY2(widget != nullptr, qPrintable(QString::number(expected.id)));
      QCOMPARE(TextOf(widget), QString::fromUtf8(expected.caption));
    }
    QStringList statics;
    for (QLabel* label : dialog_->findChildren<QLabel*>()) {
      if (!label->objectName().startsWith("ctlStatic")) continue;
      statics << label->text();
    }
    QCOMPARE(statics.size(), 2);
    for (const char* caption : kStaticCaptions) QVERIFY(statics.contains(QString::fromUtf8(caption)));
    QStringList titles;
    for (QGroupBox* group : dialog_->findChildren<QGroupBox*>()) titles << group->title();
    QCOMPARE(titles.size(), 5);
    for (const char* title : kGroupTitles) QVERIFY(titles.contains(QString::fromUtf8(title)));
  }

  void controlsHaveTheirKinds() {
    for (int id : {1008, 1011, 1010, 1012, 1013, 1014, 1015, 1018, 1016, 1017, 1004, 1005, 1006, 1007}) {
      QVERIFY(Widget<QRadioButton>(id) != nullptr);
    }
    QVERIFY(Widget<QCheckBox>(1009) != nullptr);
    QVERIFY(Widget<QCheckBox>(1019) != nullptr);
    // Execute is the default button whenever no other push button has the
    // focus (a focused push button is pressed by Enter instead).
    QApplication::setActiveWindow(dialog_.get());
    QVERIFY(QTest::qWaitForWindowActive(dialog_.get()));
    Widget<QLineEdit>(1001)->setFocus();
    QVERIFY(Widget<QPushButton>(1)->isDefault());
    QVERIFY(!Widget<QPushButton>(2)->isDefault());
    Widget<QPushButton>(2)->setFocus();
    QVERIFY(Widget<QPushButton>(2)->isDefault());
    QVERIFY(!Widget<QPushButton>(1)->isDefault());
    QCOMPARE(Widget<QLineEdit>(1001)->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    for (int id : {1002, 1003}) {
      auto* label = Widget<QLabel>(id);
      QCOMPARE(label->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
      QCOMPARE(label->frameShadow(), QFrame::Sunken);
    }
  }

  void titleSizeAndIconFollowTheTemplate() {
    QCOMPARE(dialog_->windowTitle(), QString("notora"));
    const DialogUnits units(dialog_->font());
    QCOMPARE(dialog_->size(), QSize(units.ToPixelsX(324), units.ToPixelsY(143)));
    QCOMPARE(dialog_->font().pointSize(), 11);
    const QIcon icon = notora::CConvertApp::ApplicationIcon();
    QVERIFY(!icon.isNull());
    QCOMPARE(icon.availableSizes().value(0), QSize(32, 32));
    QVERIFY(!QApplication::windowIcon().isNull());
  }

  void controlsStandWhereTheTemplatePutsThem() {
    const DialogUnits units(dialog_->font());
    for (const ExpectedControl& expected : kExpected) {
      QWidget* widget = dialog_->findChild<QWidget*>(notora::ControlObjectName(expected.id));
      QCOMPARE(widget->geometry(),
               units.ToPixels(expected.x, expected.y, expected.width, expected.height));
    }
  }

  // Nothing is cut off: every control lies inside the dialog, and every
  // caption fits its control.
  void nothingIsClipped() {
    const QRect client = dialog_->rect();
    for (QWidget* widget : dialog_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      if (widget->objectName().isEmpty()) continue;
      QVERIFY2(client.contains(widget->geometry()), qPrintable(widget->objectName()));
      if (auto* button = qobject_cast<QPushButton*>(widget)) {
        // A push button's size hint has a style minimum; its caption plus
        // the frame's margins is what must fit.
        QString caption = button->text();
        caption.remove(u'&');
        const int margin = button->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button);
        QVERIFY2(button->fontMetrics().horizontalAdvance(caption) + margin <= button->width(),
                 qPrintable(button->text()));
      } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        QVERIFY2(button->sizeHint().width() <= button->width(), qPrintable(button->text()));
      } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        QVERIFY2(label->sizeHint().width() <= label->width(), qPrintable(label->text()));
      } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
        const int titleWidth = group->fontMetrics().horizontalAdvance(group->title());
        QVERIFY2(titleWidth < group->width(), qPrintable(group->title()));
      }
    }
  }

  void tabOrderFollowsTheTemplate() {
    QList<QWidget*> expected;
    for (const ExpectedControl& control : kExpected) {
      QWidget* widget = dialog_->findChild<QWidget*>(notora::ControlObjectName(control.id));
      if (widget->focusPolicy() & Qt::TabFocus) expected << widget;
    }
    QCOMPARE(expected.size(), 21);  // all but the two displays
    QList<QWidget*> chain;
    QWidget* at = expected.first();
    do {
      if (expected.contains(at)) chain << at;
      at = at->nextInFocusChain();
    } while (at != expected.first());
    QCOMPARE(chain, expected);
  }

  // Six groups, each exclusive on its own: a click in one leaves the others.
  void eachRadioGroupIsItsOwnGroup() {
    QList<QButtonGroup*> groups = dialog_->findChildren<QButtonGroup*>();
    QCOMPARE(groups.size(), 6);
    for (QButtonGroup* group : groups) QVERIFY(group->exclusive());
    QTest::mouseClick(Button(1005), Qt::LeftButton);
    QVERIFY(Button(1005)->isChecked());
    QVERIFY(!Button(1004)->isChecked());
    QVERIFY(Button(1006)->isChecked());
    QVERIFY(Button(1008)->isChecked());
    QVERIFY(Button(1012)->isChecked());
    QVERIFY(Button(1014)->isChecked());
    QVERIFY(Button(1018)->isChecked());
  }

  // As a dialog from a template starts: the first control that takes the
  // focus has it, and Enter would press Execute.
  void focusStartsOnTheFirstTabStop() {
    QApplication::setActiveWindow(dialog_.get());
    QVERIFY(QTest::qWaitForWindowActive(dialog_.get()));
    QCOMPARE(QApplication::focusWidget(), Widget<QWidget>(1000));
  }

  void staticMnemonicLeadsToTheOutputName() {
    auto* label = dialog_->findChild<QLabel*>("ctlStatic2");
    QCOMPARE(label->text(), QString("変換後ファイル名(&F):"));
    QCOMPARE(label->buddy(), Widget<QLineEdit>(1001));
  }

  void standardButtonsAreJapanese() {
    auto* app = qobject_cast<notora::CConvertApp*>(QCoreApplication::instance());
    QVERIFY(app != nullptr);
    QVERIFY(app->hasJapaneseButtons());
    QMessageBox box(QMessageBox::Question, "t", "x", QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(box.button(QMessageBox::Yes)->text(), QString("はい(&Y)"));
    QCOMPARE(box.button(QMessageBox::No)->text(), QString("いいえ(&N)"));
    QCOMPARE(box.font().family(), notora::TemplateFont().family());
  }

 private:
  template <typename T>
  T* Widget(int id) const {
    return dialog_->findChild<T*>(notora::ControlObjectName(id));
  }
  QAbstractButton* Button(int id) const { return Widget<QAbstractButton>(id); }

  std::unique_ptr<notora::HelpWindow> help_;
  std::unique_ptr<CConvertDlg> dialog_;
};

NOTORA_APP_TEST_MAIN(ConvertDlgLayoutTest)
#include "convert_dlg_layout_test.moc"
