#pragma once
// File > Picture options...: the size, resolution, font size and contents of the pictures
// "Save as file..." and "Copy to clipboard" make, for the rest of the run.
#include <QDialog>

#include "platform/picture_options.h"

class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QSpinBox;

namespace qiv::qt {

class PictureDialog : public QDialog {
  Q_OBJECT

 public:
  PictureDialog(const PictureOptions& o, QWidget* parent);

  // The options as accepted (those given until OK is pressed with values that pass).
  const PictureOptions& options() const { return options_; }
  // The values in the boxes as the script step takes them; Failure naming the first refused.
  PictureOptions chosen() const;

  void accept() override;

 private:
  void update_size_note();

  PictureOptions options_;
  QDoubleSpinBox* width_;
  QSpinBox* dpi_;
  QDoubleSpinBox* font_;
  QCheckBox* axes_;
  QCheckBox* label_;
  QLabel* size_note_;
};

// Shows the dialog over parent and, when accepted, stores its options in o.
void edit_picture_options(QWidget* parent, PictureOptions& o);

}  // namespace qiv::qt
