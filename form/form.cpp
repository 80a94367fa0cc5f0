#include "form/form.h"

namespace quillo {

Form::Form(Platform& platform, const Controls& controls)
    : Parolasi(controls.Parolasi),
      esempio(controls.esempio),
      scrivo(controls.scrivo),
      esempiopix(controls.esempiopix),
      platform_(platform)
{
    QObject::connect(&quitHold, &QuitHold::held, &quitHold, [this] { endProgram(); });
}

MediaLibrary& Form::media()
{
    if (media_.bundled().isEmpty())
        media_.setLibraries(mediaFolder(), userMediaFolder());
    return media_;
}

void Form::place(QWidget* control, const TwipsRect& rect)
{
    twips_.insert(control, rect);
    control->setGeometry(twipsToPixels(rect, twipsPerPixelX(), twipsPerPixelY()));
}

void Form::setTwipsSize(QWidget* control, double width, double height)
{
    TwipsRect rect = twips_.value(control);
    rect.width = float(width);   // held in single precision, as the sizes are handed on
    rect.height = float(height);
    place(control, rect);
}

void Form::endProgram()
{
    ending_ = true;
    platform_.exit->quit();
}

}  // namespace quillo
