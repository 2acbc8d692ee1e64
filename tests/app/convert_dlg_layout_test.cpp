// Tests of the main dialog as it first appears, checked against the template
// both dialogs are built from (dialog/dialog_template.h): each control of the
// template is a widget of its kind with its id, caption and rectangle, in the
// template's order, tab order and radio groups; and the option defaults.
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
#include <span>

#include "app/convert_app.h"
#include "app/convert_dlg.h"
#include "app/dialog_units.h"
#include "app/help_window.h"
#include "dialog/dialog_template.h"
#include "tests/app/app_test_main.h"

using notora::CConvertDlg;
using notora::ControlKind;
using notora::ControlTemplate;
using notora::DialogUnits;

namespace {

std::span<const ControlTemplate> Template() { return notora::ConvertDialogTemplate(); }

// Where a control is named in failure messages: its id, or its caption.
QByteArray Where(const ControlTemplate& control) {
  return (control.id == notora::kNoId ? QString::fromUtf8(control.caption)
                                      : QString::number(control.id))
      .toUtf8();
}

// The controls a user reaches with Tab: everything but statics and group
// boxes, as in a dialog made from the template on Windows.
bool TakesFocus(ControlKind kind) {
  return kind != ControlKind::kStatic && kind != ControlKind::kSunkenStatic &&
         kind != ControlKind::kGroupBox;
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

  // The dialog's controls are the template's, one widget each, made in the
  // template's order: no control is missing, none added.
  void everyControlIsAWidgetOfItsKind() {
    const QList<QWidget*> widgets = Controls();
    QCOMPARE(widgets.size(), qsizetype(Template().size()));
    for (std::size_t i = 0; i < Template().size(); ++i) {
      const ControlTemplate& control = Template()[i];
      QWidget* widget = widgets.at(qsizetype(i));
      if (control.id != notora::kNoId) {
        QVERIFY2(widget->objectName() == notora::ControlObjectName(control.id),
                 Where(control).constData());
      }
      const QString caption = QString::fromUtf8(control.caption);
      switch (control.kind) {
        case ControlKind::kStatic:
        case ControlKind::kSunkenStatic: {
          auto* label = qobject_cast<QLabel*>(widget);
          QVERIFY2(label != nullptr, Where(control).constData());
          QCOMPARE(label->text(), caption);
          QCOMPARE(label->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
          const bool sunken = control.kind == ControlKind::kSunkenStatic;
          const bool framedSunken =
              label->frameShape() != QFrame::NoFrame && label->frameShadow() == QFrame::Sunken;
          QVERIFY2(framedSunken == sunken, Where(control).constData());
          // A display shows file names as they are: "&" in one is no mnemonic.
          if (sunken) QCOMPARE(label->textFormat(), Qt::PlainText);
          break;
        }
        case ControlKind::kPushButton:
        case ControlKind::kDefaultButton: {
          auto* button = qobject_cast<QPushButton*>(widget);
          QVERIFY2(button != nullptr, Where(control).constData());
          QCOMPARE(button->text(), caption);
          break;
        }
        case ControlKind::kEdit: {
          auto* edit = qobject_cast<QLineEdit*>(widget);
          QVERIFY2(edit != nullptr, Where(control).constData());
          QCOMPARE(edit->text(), caption);
          QCOMPARE(edit->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
          break;
        }
        case ControlKind::kGroupBox: {
          auto* group = qobject_cast<QGroupBox*>(widget);
          QVERIFY2(group != nullptr, Where(control).constData());
          QCOMPARE(group->title(), caption);
          break;
        }
        case ControlKind::kRadio:
        case ControlKind::kCheckBox: {
          QAbstractButton* button = nullptr;
          if (control.kind == ControlKind::kRadio) {
            button = qobject_cast<QRadioButton*>(widget);
          } else {
            button = qobject_cast<QCheckBox*>(widget);
          }
          QVERIFY2(button != nullptr, Where(control).constData());
          QCOMPARE(button->text(), caption);
          break;
        }
      }
    }
  }

  void titleSizeAndIconFollowTheTemplate() {
    QCOMPARE(dialog_->windowTitle(), QString::fromUtf8(notora::kDialogTitle));
    const DialogUnits units(dialog_->font());
    QCOMPARE(dialog_->size(), QSize(units.ToPixelsX(notora::kDialogWidthUnits),
                                    units.ToPixelsY(notora::kDialogHeightUnits)));
    QCOMPARE(dialog_->font().pointSize(), notora::kDialogFontPoints);
    const QIcon icon = notora::CConvertApp::ApplicationIcon();
    QVERIFY(!icon.isNull());
    QCOMPARE(icon.availableSizes().value(0), QSize(32, 32));
    QVERIFY(!QApplication::windowIcon().isNull());
  }

  // Each rectangle is the template's, turned into pixels by the dialog
  // font's units.
  void controlsStandWhereTheTemplatePutsThem() {
    const DialogUnits units(dialog_->font());
    const QList<QWidget*> widgets = Controls();
    QCOMPARE(widgets.size(), qsizetype(Template().size()));
    for (std::size_t i = 0; i < Template().size(); ++i) {
      const ControlTemplate& control = Template()[i];
      QCOMPARE(widgets.at(qsizetype(i))->geometry(),
               units.ToPixels(control.x, control.y, control.width, control.height));
    }
  }

  // Nothing is cut off: every control lies inside the dialog, and every
  // caption fits its control.
  void nothingIsClipped() {
    const QRect client = dialog_->rect();
    for (QWidget* widget : Controls()) {
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

  // Tab visits the controls that take the focus in template order, and
  // nothing else.
  void tabOrderFollowsTheTemplate() {
    const QList<QWidget*> widgets = Controls();
    QCOMPARE(widgets.size(), qsizetype(Template().size()));
    QList<QWidget*> expected;
    for (std::size_t i = 0; i < Template().size(); ++i) {
      QWidget* widget = widgets.at(qsizetype(i));
      const bool tabStop = (widget->focusPolicy() & Qt::TabFocus) != 0;
      QVERIFY2(tabStop == TakesFocus(Template()[i].kind), qPrintable(widget->objectName()));
      if (tabStop) expected << widget;
    }
    QList<QWidget*> chain;
    QWidget* at = expected.first();
    do {
      if (expected.contains(at)) chain << at;
      at = at->nextInFocusChain();
    } while (at != expected.first());
    QCOMPARE(chain, expected);
  }

  // The radio groups are the template's: each starts at a radio that starts
  // a group, holds exactly its radios in order and is exclusive on its own.
  void radioGroupsAreTheTemplatesGroups() {
    const QList<QButtonGroup*> groups = dialog_->findChildren<QButtonGroup*>();
    int templateGroups = 0;
    for (const ControlTemplate& control : Template()) {
      if (control.kind != ControlKind::kRadio || !control.startsGroup) continue;
      ++templateGroups;
      QList<QAbstractButton*> expected;
      for (const ControlTemplate& member : notora::RadioGroup(control.id)) {
        expected << Button(member.id);
      }
      QButtonGroup* group = Button(control.id)->group();
      QVERIFY2(group != nullptr, Where(control).constData());
      QVERIFY(group->exclusive());
      QCOMPARE(group->buttons(), expected);
    }
    QCOMPARE(groups.size(), templateGroups);
    // A click in one group leaves the others as they were.
    QTest::mouseClick(Button(1005), Qt::LeftButton);
    QVERIFY(Button(1005)->isChecked());
    QVERIFY(!Button(1004)->isChecked());
    QVERIFY(Button(1006)->isChecked());
    QVERIFY(Button(1008)->isChecked());
    QVERIFY(Button(1012)->isChecked());
    QVERIFY(Button(1014)->isChecked());
    QVERIFY(Button(1018)->isChecked());
  }

  // The template's default button is pressed by Enter whenever no other push
  // button has the focus (a focused push button is pressed by Enter instead).
  void enterPressesTheDefaultButton() {
    QVERIFY(ShowActive(dialog_.get()));
    QList<QPushButton*> others;
    QPushButton* defaultButton = nullptr;
    for (const ControlTemplate& control : Template()) {
      if (control.kind == ControlKind::kDefaultButton) {
        QVERIFY(defaultButton == nullptr);
        defaultButton = Widget<QPushButton>(control.id);
      } else if (control.kind == ControlKind::kPushButton) {
        others << Widget<QPushButton>(control.id);
      }
    }
    QVERIFY(defaultButton != nullptr);
    QCOMPARE(defaultButton->objectName(), notora::ControlObjectName(notora::kIdExecute));
    Widget<QLineEdit>(notora::kIdOutputName)->setFocus();
    QVERIFY(defaultButton->isDefault());
    for (QPushButton* other : others) {
      QVERIFY(!other->isDefault());
      other->setFocus();
      QVERIFY2(other->isDefault() && !defaultButton->isDefault(), qPrintable(other->objectName()));
    }
  }

  // As a dialog from a template starts: the first control that takes the
  // focus has it.
  void focusStartsOnTheFirstTabStop() {
    QVERIFY(ShowActive(dialog_.get()));
    const ControlTemplate* first = nullptr;
    for (const ControlTemplate& control : Template()) {
      if (TakesFocus(control.kind)) {
        first = &control;
        break;
      }
    }
    QVERIFY(first != nullptr);
    QCOMPARE(QApplication::focusWidget(), Widget<QWidget>(first->id));
  }

  // As in a dialog template, a static's mnemonic moves the focus to the next
  // control of the template that takes the focus.
  void staticMnemonicsLeadToTheNextControl() {
    const QList<QWidget*> widgets = Controls();
    int mnemonics = 0;
    for (std::size_t i = 0; i < Template().size(); ++i) {
      const ControlTemplate& control = Template()[i];
      const bool hasMnemonic = QString::fromUtf8(control.caption).contains(u'&');
      if (control.kind != ControlKind::kStatic || !hasMnemonic) continue;
      ++mnemonics;
      std::size_t next = i + 1;
      while (next < Template().size() && !TakesFocus(Template()[next].kind)) ++next;
      QVERIFY2(next < Template().size(), Where(control).constData());
      auto* label = qobject_cast<QLabel*>(widgets.at(qsizetype(i)));
      QVERIFY2(label != nullptr, Where(control).constData());
      QCOMPARE(label->buddy(), widgets.at(qsizetype(next)));
    }
    QVERIFY(mnemonics > 0);
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
  // The dialog's own widgets (its direct children), in the order they were made.
  QList<QWidget*> Controls() const {
    return dialog_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
  }
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
