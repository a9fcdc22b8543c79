#pragma once
// A push button that is only a picture: a normal image and a pressed one,
// taken from the resources named after the button's text plus "U" and "D",
// and sized to the normal image.
#include <QAbstractButton>
#include <QPixmap>
#include <string>

class CBitmapButton : public QAbstractButton {
  Q_OBJECT
 public:
  explicit CBitmapButton(QWidget* parent = nullptr);

  // Loads "<text>U" and "<text>D", names the button `text`, moves it to its
  // place and sizes it to the normal picture.
  bool AutoLoad(int controlId, const std::string& text, QPoint topLeft);
  // Replaces the pictures: by resource name or by resource number.
  bool LoadBitmaps(const std::string& normal, const std::string& pressed);
  bool LoadBitmaps(int normal, int pressed);
  // Shows the button pressed (true) or released, as the unit's buttons do
  // while a command goes out.
  void SetState(bool pressed);

  int ControlId() const { return controlId_; }
  const QPixmap& NormalPicture() const { return normal_; }
  const QPixmap& PressedPicture() const { return pressed_; }
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int controlId_ = 0;
  QPixmap normal_;
  QPixmap pressed_;
};
