#include "qt/picture_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QMessageBox>
#include <QSpinBox>
#include <QVBoxLayout>
#include <cmath>

#include "base/failure.h"

namespace qiv::qt {

PictureDialog::PictureDialog(const PictureOptions& o, QWidget* parent)
    : QDialog(parent), options_(o) {
  setWindowTitle("Picture options");
  // The boxes take any number; the limits are checked on OK, with a message, as in scripts.
  width_ = new QDoubleSpinBox(this);
  width_->setRange(0, 10000);
  width_->setDecimals(1);
  width_->setSuffix(" mm");
  width_->setValue(o.width_mm);
  dpi_ = new QSpinBox(this);
  dpi_->setRange(0, 100000);
  dpi_->setSuffix(" dpi");
  dpi_->setValue(static_cast<int>(std::lround(o.dpi)));
  font_ = new QDoubleSpinBox(this);
  font_->setRange(0, 1000);
  font_->setDecimals(1);
  font_->setSuffix(" pt");
  font_->setValue(o.font_pt);
  axes_ = new QCheckBox("Axes frame, ticks and their numbers", this);
  axes_->setChecked(o.axes);
  label_ = new QCheckBox("Status label on the y axis", this);
  label_->setChecked(o.label);
  size_note_ = new QLabel(this);

  auto* form = new QFormLayout;
  form->addRow("Width:", width_);
  form->addRow("PNG resolution:", dpi_);
  form->addRow("Font size:", font_);
  form->addRow("", axes_);
  form->addRow("", label_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* top = new QVBoxLayout(this);
  top->addWidget(
      new QLabel("Pictures saved or copied from now on; the height follows the plot.", this));
  top->addLayout(form);
  top->addWidget(size_note_);
  top->addWidget(buttons);
  connect(width_, &QDoubleSpinBox::valueChanged, this, &PictureDialog::update_size_note);
  connect(dpi_, &QSpinBox::valueChanged, this, &PictureDialog::update_size_note);
  update_size_note();
}

void PictureDialog::update_size_note() {
  const double px = std::round(width_->value() / 25.4 * dpi_->value());
  size_note_->setText(QString("A PNG is %1 pixels wide.").arg(px, 0, 'f', 0));
}

PictureOptions PictureDialog::chosen() const {
  PictureOptions o = options_;
  set_picture_option(o, "width", QString::number(width_->value()).toStdString());
  set_picture_option(o, "dpi", QString::number(dpi_->value()).toStdString());
  set_picture_option(o, "font", QString::number(font_->value()).toStdString());
  o.axes = axes_->isChecked();
  o.label = label_->isChecked();
  return o;
}

void PictureDialog::accept() {
  try {
    options_ = chosen();
  } catch (const Failure& f) {
    QMessageBox::warning(this, "Picture options", QString::fromStdString(f.what()));
    return;
  }
  QDialog::accept();
}

void edit_picture_options(QWidget* parent, PictureOptions& o) {
  PictureDialog d(o, parent);
  if (d.exec() == QDialog::Accepted) o = d.options();
}

}  // namespace qiv::qt
