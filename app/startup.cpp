#include "app/startup.h"

#include "app/parla.h"
#include "feedback/media_paths.h"

namespace quillo {

void formLoad(Parla& form)
{
    form.File1.setFolder(media::picturesFolder(form.mediaFolder()));
    form.platform().random->seedFromClock();

    const ScreenMetrics& screen = *form.platform().screen;
    const TwipsRect sheet = form.twips(form.scrivo);
    const double width = screen.widthTwips() - sheet.left - 100;
    const double height = screen.heightTwips() - sheet.top - 100;
    form.setTwipsSize(form.scrivo, width, sheet.height);
    form.setTwipsSize(form.scrivo, width, height);

    form.Busy = 0;
    form.Arrotondata(form.scrivo);
    form.Arrotondata(form.esempio);
    // Takes effect at the next rounding: the window opens with square corners.
    form.CornerRadius = 40;
}

}  // namespace quillo
