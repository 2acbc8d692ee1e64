#include "tests/app/modal_responder.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>

namespace notora::testing {
namespace {

constexpr const char* kAnsweredProperty = "notoraTestAnswered";

}  // namespace

ModalResponder::ModalResponder() {
  timer_.setInterval(5);
  connect(&timer_, &QTimer::timeout, this, &ModalResponder::Check);
  timer_.start();
}

void ModalResponder::Expect(Handler handler) { handlers_.push_back(std::move(handler)); }

QStringList ModalResponder::boxTexts() const {
  QStringList texts;
  for (const ShownBox& box : boxes_) texts << box.text;
  return texts;
}

ShownBox ModalResponder::Describe(const QMessageBox& box) {
  ShownBox shown;
  shown.text = box.text();
  shown.icon = box.icon();
  shown.title = box.windowTitle();
  for (QAbstractButton* button : box.buttons()) shown.buttonTexts << button->text();
  return shown;
}

void ModalResponder::Check() {
  QWidget* modal = QApplication::activeModalWidget();
  if (modal == nullptr || !modal->isVisible() || modal->property(kAnsweredProperty).toBool()) {
    return;
  }
  // A handler may itself open nested event loops; never answer a window twice.
  modal->setProperty(kAnsweredProperty, true);
  if (!handlers_.empty()) {
    Handler handler = std::move(handlers_.front());
    handlers_.pop_front();
    handler(modal);
    return;
  }
  auto* box = qobject_cast<QMessageBox*>(modal);
  if (box != nullptr && defaultAnswer_ != QMessageBox::NoButton && box->button(defaultAnswer_)) {
    boxes_.push_back(Describe(*box));
    box->button(defaultAnswer_)->click();
    return;
  }
  ++unexpected_;
  if (box != nullptr) boxes_.push_back(Describe(*box));
  if (auto* dialog = qobject_cast<QDialog*>(modal)) {
    dialog->reject();
  } else {
    modal->close();
  }
}

}  // namespace notora::testing
