// Tests of the dialog's options: radio groups, check boxes, the output name,
// mnemonics, and their exchange into RunOptions when Execute is pressed.
#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "app/convert_dlg.h"
#include "app/dialog_units.h"
#include "app/help_window.h"
#include "base/messages.h"
#include "tests/app/app_test_main.h"
#include "tests/app/modal_responder.h"

using notora::CConvertDlg;
using notora::ConversionMode;
using notora::FullWidthFallback;
using notora::JisFallback;
using notora::NegativeWidthMode;
using notora::RunOptions;
using notora::VerticalValue;
using notora::testing::ModalResponder;

namespace {

// True when `options` hold `kValue` in the option `kOption`.
template <auto kOption, auto kValue>
bool Holds(const RunOptions& options) {
  return options.*kOption == kValue;
}

struct RadioCase {
  int id;
  int group;  // the id of the first button of its group
  bool (*holdsValue)(const RunOptions& options);
};

// Every radio button with the option it sets and the value it gives.
const RadioCase kRadios[] = {
    {1008, 1008, Holds<&RunOptions::conversionMode, ConversionMode::kToJisCode>},
    {1011, 1008, Holds<&RunOptions::conversionMode, ConversionMode::kToFullWidth>},
    {1010, 1008, Holds<&RunOptions::conversionMode, ConversionMode::kNone>},
    {1012, 1012, Holds<&RunOptions::jisFallback, JisFallback::k2121>},
    {1013, 1012, Holds<&RunOptions::jisFallback, JisFallback::kFFFF>},
    {1014, 1014, Holds<&RunOptions::fullWidthFallback, FullWidthFallback::kSpace>},
    {1015, 1014, Holds<&RunOptions::fullWidthFallback, FullWidthFallback::kQuote>},
    {1018, 1018, Holds<&RunOptions::negativeWidthMode, NegativeWidthMode::kPlus>},
    {1016, 1018, Holds<&RunOptions::negativeWidthMode, NegativeWidthMode::kMinus>},
    {1017, 1018, Holds<&RunOptions::negativeWidthMode, NegativeWidthMode::kError>},
    {1004, 1004, Holds<&RunOptions::verticalValueInput, VerticalValue::kBefore>},
    {1005, 1004, Holds<&RunOptions::verticalValueInput, VerticalValue::kAfter>},
    {1006, 1006, Holds<&RunOptions::verticalValueOutput, VerticalValue::kBefore>},
    {1007, 1006, Holds<&RunOptions::verticalValueOutput, VerticalValue::kAfter>},
};

QString Message(notora::MessageId id) {
  const std::string_view text = notora::MessageText(id);
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

class ConvertDlgOptionsTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    help_ = std::make_unique<notora::HelpWindow>();
    dialog_ = std::make_unique<CConvertDlg>(*help_);
    QVERIFY(ShowActive(dialog_.get()));
    responder_ = std::make_unique<ModalResponder>();
    responder_->AnswerAllBoxesWith(QMessageBox::Ok);
  }

  void cleanup() {
    responder_.reset();
    dialog_.reset();
    help_.reset();
  }

  // Execute moves the controls into RunOptions; with no source chosen the
  // run stops at its first file check, so only the exchange is seen.
  void eachRadioGivesItsValue_data() {
    QTest::addColumn<int>("index");
    for (int i = 0; i < static_cast<int>(std::size(kRadios)); ++i) {
      QTest::addRow("ctl%d", kRadios[i].id) << i;
    }
  }
  void eachRadioGivesItsValue() {
    QFETCH(int, index);
    const RadioCase& radio = kRadios[index];
    // First select another button of the same group, so the click matters.
    for (const RadioCase& other : kRadios) {
      if (other.group == radio.group && other.id != radio.id) {
        Click(Button(other.id));
        break;
      }
    }
    QVERIFY(!Button(radio.id)->isChecked());
    Click(Button(radio.id));
    QVERIFY(Button(radio.id)->isChecked());
    Execute();
    QVERIFY(radio.holdsValue(dialog_->options()));
    QCOMPARE(responder_->boxTexts(), QStringList{Message(notora::MessageId::NoSourceSelected)});
  }

  void radioClicksChangeOnlyTheirGroup() {
    Click(Button(1010));
    Click(Button(1013));
    Click(Button(1015));
    Click(Button(1017));
    Click(Button(1005));
    Click(Button(1007));
    Execute();
    const RunOptions& options = dialog_->options();
    QCOMPARE(options.conversionMode, ConversionMode::kNone);
    QCOMPARE(options.jisFallback, JisFallback::kFFFF);
    QCOMPARE(options.fullWidthFallback, FullWidthFallback::kQuote);
    QCOMPARE(options.negativeWidthMode, NegativeWidthMode::kError);
    QCOMPARE(options.verticalValueInput, VerticalValue::kAfter);
    QCOMPARE(options.verticalValueOutput, VerticalValue::kAfter);
    QCOMPARE(options.verticalToHorizontal, false);
    QCOMPARE(options.zeroColumnsIsError, true);
    // Back to the first button of a group.
    Click(Button(1008));
    Execute();
    QCOMPARE(dialog_->options().conversionMode, ConversionMode::kToJisCode);
    QCOMPARE(dialog_->options().negativeWidthMode, NegativeWidthMode::kError);
  }

  // A group left with no checked button (which only code can do) gives no
  // value outside the option's set: the option keeps the value it had.
  void aGroupWithoutCheckedButtonKeepsItsValue() {
    Click(Button(1017));
    Execute();
    QButtonGroup* group = Button(1017)->group();
    group->setExclusive(false);
    Button(1017)->setChecked(false);
    QCOMPARE(group->checkedId(), -1);
    Execute();
    QCOMPARE(dialog_->options().negativeWidthMode, NegativeWidthMode::kError);
    QCOMPARE(dialog_->options().conversionMode, ConversionMode::kToJisCode);
  }

  void checkBoxesToggle() {
    Click(Button(1009));
    Click(Button(1019));
    Execute();
    QCOMPARE(dialog_->options().verticalToHorizontal, true);
    QCOMPARE(dialog_->options().zeroColumnsIsError, false);
    Click(Button(1009));
    Click(Button(1019));
    Execute();
    QCOMPARE(dialog_->options().verticalToHorizontal, false);
    QCOMPARE(dialog_->options().zeroColumnsIsError, true);
  }

  // Japanese text arrives through the input method, not as key presses.
  void outputNameTakesJapaneseText() {
    auto* edit = dialog_->findChild<QLineEdit*>("ctl1001");
    edit->setFocus();
    QTest::keyClicks(edit, "part_");
    QInputMethodEvent composing("ぶひん", {});
    QApplication::sendEvent(edit, &composing);
    QInputMethodEvent commit;
    commit.setCommitString("部品");
    QApplication::sendEvent(edit, &commit);
    QCOMPARE(edit->text(), QString("part_部品"));
    Execute();
    QCOMPARE(dialog_->options().outputName, std::string("part_部品"));
  }

  void mnemonicsSwitchRadios_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("id");
    QTest::newRow("Alt+M") << int(Qt::Key_M) << 1011;
    QTest::newRow("Alt+O") << int(Qt::Key_O) << 1010;
    QTest::newRow("Alt+B") << int(Qt::Key_B) << 1013;
    QTest::newRow("Alt+D") << int(Qt::Key_D) << 1015;
    QTest::newRow("Alt+Z") << int(Qt::Key_Z) << 1017;
    QTest::newRow("Alt+Y") << int(Qt::Key_Y) << 1016;
    QTest::newRow("Alt+2") << int(Qt::Key_2) << 1005;
    QTest::newRow("Alt+4") << int(Qt::Key_4) << 1007;
    QTest::newRow("Alt+V") << int(Qt::Key_V) << 1009;
  }
  void mnemonicsSwitchRadios() {
    QFETCH(int, key);
    QFETCH(int, id);
    QVERIFY(!Button(id)->isChecked());
    QTest::keyClick(dialog_->windowHandle(), Qt::Key(key), Qt::AltModifier);
    QTRY_VERIFY(Button(id)->isChecked());
  }

  void mnemonicOfTheLabelFocusesTheOutputName() {
    auto* edit = dialog_->findChild<QLineEdit*>("ctl1001");
    Button(1000)->setFocus();
    QTest::keyClick(dialog_->windowHandle(), Qt::Key_F, Qt::AltModifier);
    QTRY_VERIFY(edit->hasFocus());
  }

  // Enter presses the default button, Execute: a run starts and reports.
  void enterStartsARun() {
    dialog_->findChild<QLineEdit*>("ctl1001")->setFocus();
    QTest::keyClick(dialog_->windowHandle(), Qt::Key_Return);
    QTRY_COMPARE(responder_->boxTexts(), QStringList{Message(notora::MessageId::NoSourceSelected)});
    QVERIFY(dialog_->isVisible());
  }

 private:
  QAbstractButton* Button(int id) const {
    return dialog_->findChild<QAbstractButton*>(notora::ControlObjectName(id));
  }
  // Clicks on the button's indicator, where a radio button takes clicks.
  static void Click(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
  }
  void Execute() {
    auto* execute = dialog_->findChild<QPushButton*>("ctl1");
    responder_ = std::make_unique<ModalResponder>();
    responder_->AnswerAllBoxesWith(QMessageBox::Ok);
    QTest::mouseClick(execute, Qt::LeftButton);
  }

  std::unique_ptr<notora::HelpWindow> help_;
  std::unique_ptr<CConvertDlg> dialog_;
  std::unique_ptr<ModalResponder> responder_;
};

NOTORA_APP_TEST_MAIN(ConvertDlgOptionsTest)
#include "convert_dlg_options_test.moc"
