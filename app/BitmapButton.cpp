#include "app/BitmapButton.h"

#include <QPainter>

#include "res/Resources.h"

CBitmapButton::CBitmapButton(QWidget* parent) : QAbstractButton(parent) {
  setFocusPolicy(Qt::TabFocus);
}

bool CBitmapButton::AutoLoad(int controlId, const std::string& text, QPoint topLeft) {
  controlId_ = controlId;
  setText(QString::fromLatin1(text.c_str()));
  setObjectName(QString::fromLatin1(text.c_str()));
  const bool ok = LoadBitmaps(text + "U", text + "D");
  move(topLeft);
  resize(normal_.size());
  return ok;
}

bool CBitmapButton::LoadBitmaps(const std::string& normal, const std::string& pressed) {
  normal_ = res::Load(normal);
  pressed_ = res::Load(pressed);
  update();
  return !normal_.isNull() && !pressed_.isNull();
}

bool CBitmapButton::LoadBitmaps(int normal, int pressed) {
  normal_ = res::Load(normal);
  pressed_ = res::Load(pressed);
  update();
  return !normal_.isNull() && !pressed_.isNull();
}

void CBitmapButton::SetState(bool pressed) {
  setDown(pressed);
  // The command that follows blocks the window thread: show the look now.
  repaint();
}

QSize CBitmapButton::sizeHint() const { return normal_.isNull() ? QSize(25, 25) : normal_.size(); }

void CBitmapButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QPixmap& picture = isDown() ? pressed_ : normal_;
  if (!picture.isNull()) painter.drawPixmap(0, 0, picture);
  if (hasFocus()) {
    painter.setPen(QPen(QColor(32, 231, 182), 1, Qt::DotLine));
    painter.drawRect(rect().adjusted(1, 1, -2, -2));
  }
}
