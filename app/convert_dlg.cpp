#include "app/convert_dlg.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <QUrl>
#include <string>

#include "app/dialog_run_ui.h"
#include "app/dialog_units.h"
#include "app/help_window.h"
#include "base/messages.h"
#include "dialog/option_exchange.h"
#include "run/conversion_run.h"

namespace notora {
namespace {

QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The dialog's controls as the shared data exchange sees them, found by
// their object names. Edit text is a file name in the system's encoding.
class QtDialogControls : public DialogControls {
 public:
  explicit QtDialogControls(const QWidget& dialog) : dialog_(dialog) {}

  bool IsChecked(int id) const override { return Button(id)->isChecked(); }
  void SetChecked(int id, bool checked) override { Button(id)->setChecked(checked); }
  std::string Text(int id) const override {
    return QFile::encodeName(Edit(id)->text()).toStdString();
  }
  void SetText(int id, std::string_view text) override {
    Edit(id)->setText(QFile::decodeName(QByteArray(text.data(), static_cast<qsizetype>(text.size()))));
  }

 private:
  QAbstractButton* Button(int id) const {
    return dialog_.findChild<QAbstractButton*>(ControlObjectName(id));
  }
  QLineEdit* Edit(int id) const { return dialog_.findChild<QLineEdit*>(ControlObjectName(id)); }

  const QWidget& dialog_;
};

}  // namespace

CConvertDlg::CConvertDlg(HelpWindow& helpWindow, QWidget* parent)
    : QDialog(parent), helpWindow_(helpWindow) {
  setObjectName(QStringLiteral("convertDialog"));
  setWindowTitle(DialogTitle());
  setFont(TemplateFont());
  setAcceptDrops(true);
  BuildControls();
  ExchangeOptions(Exchange::kLoad);
  // A dialog from a template starts with the focus on its first tab stop
  // (Browse); without this QDialog would move it to the default button.
  findChild<QPushButton*>(ControlObjectName(kIdBrowse))->setFocus();
}

CConvertDlg::~CConvertDlg() { helpWindow_.close(); }

void CConvertDlg::BuildControls() {
  const DialogUnits units(font());
  setFixedSize(units.ToPixelsX(kDialogWidthUnits), units.ToPixelsY(kDialogHeightUnits));

  QButtonGroup* currentGroup = nullptr;
  QLabel* labelAwaitingBuddy = nullptr;
  int unnamedStatics = 0;
  int unnamedGroups = 0;
  for (const ControlTemplate& control : ConvertDialogTemplate()) {
    const QString caption = QString::fromUtf8(control.caption);
    QWidget* widget = nullptr;
    switch (control.kind) {
      case ControlKind::kStatic:
      case ControlKind::kSunkenStatic: {
        auto* label = new QLabel(caption, this);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        if (control.kind == ControlKind::kSunkenStatic) {
          label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        }
        // As in a dialog template, a static's mnemonic moves the focus to the
        // control that follows it.
        if (caption.contains(u'&')) labelAwaitingBuddy = label;
        widget = label;
        break;
      }
      case ControlKind::kPushButton:
      case ControlKind::kDefaultButton: {
        auto* button = new QPushButton(caption, this);
        button->setDefault(control.kind == ControlKind::kDefaultButton);
        widget = button;
        break;
      }
      case ControlKind::kEdit: {
        auto* edit = new QLineEdit(this);
        edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        widget = edit;
        break;
      }
      case ControlKind::kGroupBox:
        widget = new QGroupBox(caption, this);
        break;
      case ControlKind::kRadio: {
        auto* radio = new QRadioButton(caption, this);
        if (control.startsGroup || currentGroup == nullptr) {
          currentGroup = new QButtonGroup(this);
          currentGroup->setExclusive(true);
        }
        currentGroup->addButton(radio, static_cast<int>(currentGroup->buttons().size()));
        widget = radio;
        break;
      }
      case ControlKind::kCheckBox:
        currentGroup = nullptr;
        widget = new QCheckBox(caption, this);
        break;
    }
    if (control.id != kNoId) {
      widget->setObjectName(ControlObjectName(control.id));
    } else if (control.kind == ControlKind::kGroupBox) {
      widget->setObjectName(QStringLiteral("ctlGroup%1").arg(++unnamedGroups));
    } else {
      widget->setObjectName(QStringLiteral("ctlStatic%1").arg(++unnamedStatics));
    }
    widget->setGeometry(units.ToPixels(control.x, control.y, control.width, control.height));
    if (labelAwaitingBuddy != nullptr && widget != labelAwaitingBuddy &&
        widget->focusPolicy() != Qt::NoFocus) {
      labelAwaitingBuddy->setBuddy(widget);
      labelAwaitingBuddy = nullptr;
    }
  }

  progressLabel_ = findChild<QLabel*>(ControlObjectName(kIdProgress));
  sourceNameDisplay_ = findChild<QLabel*>(ControlObjectName(kIdSourceName));

  connect(findChild<QPushButton*>(ControlObjectName(kIdExecute)), &QPushButton::clicked, this,
          &CConvertDlg::OnExecute);
  connect(findChild<QPushButton*>(ControlObjectName(kIdExit)), &QPushButton::clicked, this,
          &CConvertDlg::reject);
  connect(findChild<QPushButton*>(ControlObjectName(kIdBrowse)), &QPushButton::clicked, this,
          &CConvertDlg::OnBrowse);
  connect(findChild<QPushButton*>(ControlObjectName(kIdHelp)), &QPushButton::clicked, this,
          &CConvertDlg::OnHelp);
}

void CConvertDlg::ExchangeOptions(Exchange direction) {
  QtDialogControls controls(*this);
  if (direction == Exchange::kLoad) {
    LoadOptions(options_, controls);
  } else {
    SaveOptions(controls, options_);
  }
}

QString CConvertDlg::sourcePath() const { return sourceNameDisplay_->text(); }

void CConvertDlg::SetSourcePath(const QString& path) {
  sourceNameDisplay_->setText(path);
  sourceNameDisplay_->setToolTip(path);
}

void CConvertDlg::OpenSource(const QString& path) {
  SetSourcePath(QFileInfo(path).absoluteFilePath());
}

void CConvertDlg::OnExecute() {
  if (running_) return;
  running_ = true;
  ExchangeOptions(Exchange::kSave);
  const QByteArray source = QFile::encodeName(sourcePath());
  {
    DialogRunUi ui(this, progressLabel_);
    RunConversion(options_, std::string_view(source.constData(), static_cast<std::size_t>(source.size())),
                  ui);
  }
  running_ = false;
}

void CConvertDlg::OnBrowse() {
  QFileDialog fileDialog(this, FromUtf8(MessageText(MessageId::BrowseTitle)));
  fileDialog.setObjectName(QStringLiteral("browseDialog"));
  // Qt's own dialog, so that it speaks the dialog's font and the filters
  // read exactly as given.
  fileDialog.setOption(QFileDialog::DontUseNativeDialog);
  fileDialog.setOption(QFileDialog::HideNameFilterDetails);
  fileDialog.setAcceptMode(QFileDialog::AcceptOpen);
  fileDialog.setFileMode(QFileDialog::ExistingFile);
  fileDialog.setDefaultSuffix(FromUtf8(kBrowseDefaultExtension));
  // Qt writes a filter as "description (patterns)"; every file is "*" here,
  // where names need no dot.
  QStringList nameFilters;
  for (const BrowseFilter& filter : BrowseFilters()) {
    const QString pattern = QString::fromUtf8(filter.pattern);
    nameFilters << QString::fromUtf8(filter.description) + QStringLiteral(" (") +
                       (pattern == QStringLiteral("*.*") ? QStringLiteral("*") : pattern) + u')';
  }
  fileDialog.setNameFilters(nameFilters);
  // The file name box starts with the pattern; typing another pattern there
  // filters the list, as in the system's open dialog.
  fileDialog.selectFile(FromUtf8(kBrowseInitialName));
  const bool chosen = fileDialog.exec() == QDialog::Accepted;
  activateWindow();
  if (chosen && !fileDialog.selectedFiles().isEmpty()) {
    SetSourcePath(QFileInfo(fileDialog.selectedFiles().constFirst()).absoluteFilePath());
  } else {
    SetSourcePath(QString());
  }
}

void CConvertDlg::OnHelp() { helpWindow_.ShowHelp(); }

void CConvertDlg::reject() {
  if (running_) return;
  QMessageBox question(QMessageBox::Question, DialogTitle(),
                       FromUtf8(MessageText(MessageId::ExitQuestion)),
                       QMessageBox::Yes | QMessageBox::No, this);
  question.setObjectName(QStringLiteral("exitQuestion"));
  question.setDefaultButton(QMessageBox::Yes);
  if (question.exec() == QMessageBox::No) {
    activateWindow();
    return;
  }
  helpWindow_.close();
  QDialog::reject();
}

QString CConvertDlg::DroppedFilePath(const QMimeData* mimeData) {
  if (mimeData == nullptr || !mimeData->hasUrls()) return QString();
  const QList<QUrl> urls = mimeData->urls();
  if (urls.size() != 1 || !urls.constFirst().isLocalFile()) return QString();
  const QFileInfo file(urls.constFirst().toLocalFile());
  if (!file.isFile()) return QString();
  return file.absoluteFilePath();
}

void CConvertDlg::dragEnterEvent(QDragEnterEvent* event) {
  if (!running_ && !DroppedFilePath(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void CConvertDlg::dropEvent(QDropEvent* event) {
  const QString path = DroppedFilePath(event->mimeData());
  if (running_ || path.isEmpty()) return;
  SetSourcePath(path);
  event->acceptProposedAction();
}

}  // namespace notora
