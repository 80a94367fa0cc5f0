#include "app/startup.h"

#include "form/form.h"
#include "library/media_library.h"
#include "form/rounded_outline.h"

namespace quillo {

void Form_Load(Form& form)
{
    // One library for the recordings and the pictures: the user's pictures
    // join the bundled ones; only the bundled folder must be there.
    MediaLibrary& media = form.media();
    media.setLibraries(form.mediaFolder(), form.userMediaFolder());
    form.File1.setLibrary(media);
    form.platform().random->seedFromClock();

    const ScreenMetrics& screen = *form.platform().screen;
    const TwipsRect sheet = form.twips(form.scrivo);
    const double width = screen.widthTwips() - sheet.left - 100;
    const double height = screen.heightTwips() - sheet.top - 100;
    form.setTwipsSize(form.scrivo, width, sheet.height);
    form.setTwipsSize(form.scrivo, width, height);

    form.Busy = 0;
    roundOutlines(cornersOf(form));
    // Takes effect at the next rounding: the window opens with square corners.
    form.CornerRadius = 40;
}

}  // namespace quillo
