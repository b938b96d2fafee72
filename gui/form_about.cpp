#include "gui/form_about.h"

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QPalette>
#include <QRect>

#include "gui/twips.h"

namespace velquin {

namespace {

// Verdana where it is installed, else the nearest sans-serif face. Set semi-condensed,
// as the wide substitutes would not fit the texts into their labels.
QFont Verdana(qreal points, bool bold = false) {
  QFont font(QStringLiteral("Verdana"));
  font.setStyleHint(QFont::SansSerif);
  font.setPointSizeF(points);
  font.setBold(bold);
  font.setStretch(QFont::SemiCondensed);
  return font;
}

const QColor kDarkGreen(0, 128, 0);
const QColor kBlueText(0, 0, 255);

}  // namespace

Form_About::Form_About(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("Form_About"));
  setWindowTitle(QStringLiteral("About"));
  setFixedSize(4275 / 15, 3195 / 15);

  QPalette ground = palette();
  ground.setColor(QPalette::Window, QColor(255, 255, 192));
  setPalette(ground);
  setAutoFillBackground(true);

  struct LabelText {
    const char* name;
    QString text;
    QRect geometry;
    QFont font;
    QColor colour;  // invalid: the default text colour
  };
  const LabelText labels[] = {
      {"Label1", QStringLiteral("Velquin-2DS"), Twips(1080, 240, 1695, 255), Verdana(12, true),
       kDarkGreen},
      {"Label2",
       QStringLiteral("Panel method using constant source distribution + point vortex or "
                      "constant vortex distribution"),
       Twips(360, 720, 3615, 975), Verdana(9.75), kDarkGreen},
      {"Label7", QStringLiteral("Velquin-2DS developers"), Twips(840, 1680, 2535, 255),
       Verdana(8.25), QColor()},
      {"Label8", QStringLiteral("Last update : November 2007"), Twips(720, 2160, 2655, 255),
       Verdana(8.25), kBlueText},
      {"Label4", QStringLiteral("for comments and questions e-mail to"),
       Twips(480, 2520, 3375, 255), Verdana(8.25), QColor()},
      {"Label5", QStringLiteral("velquin2ds@example.org"), Twips(1200, 2760, 1935, 255),
       Verdana(8.25), kBlueText},
  };
  for (const LabelText& entry : labels) {
    auto* label = new QLabel(entry.text, this);
    label->setObjectName(QString::fromLatin1(entry.name));
    label->setGeometry(entry.geometry);
    label->setFont(entry.font);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    if (entry.colour.isValid()) {
      QPalette text = label->palette();
      text.setColor(QPalette::WindowText, entry.colour);
      label->setPalette(text);
    }
  }
  auto* method = findChild<QLabel*>(QStringLiteral("Label2"));
  method->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  method->setWordWrap(true);
}

}  // namespace velquin
