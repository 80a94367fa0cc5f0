#pragma once

#include "form/quit_hold.h"
#include "form/twips.h"
#include "form/word_mode_button.h"
#include "form/writing_sheet.h"
#include "library/media_library.h"
#include "library/picture_list.h"
#include "platform/platform.h"

#include <QHash>
#include <QLabel>
#include <QLineEdit>

namespace quillo {

// The form's state, apart from the window that shows it: the five controls,
// the three form variables, the outside services, the controls' places in
// twips, the media folders and "end the program". Only the event handlers
// (Form_Load, scrivo_KeyDown, scrivo_KeyPress, Parolasi_Click) take a Form&;
// the units they call take the parts they change, picked out of it by small
// adapters (lookPartsOf, cornersOf, wordShowOf, appearanceOf).
class Form {
public:
    // The controls the window made, in the order it made them (a braced list
    // keeps that order).
    struct Controls {
        WordModeButton* Parolasi;
        QLineEdit* esempio;
        WritingSheet* scrivo;
        QLabel* esempiopix;
    };
    Form(Platform& platform, const Controls& controls);
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    // Controls, in the order the window creates them.
    WordModeButton* const Parolasi;
    QLineEdit* const esempio;
    PictureList File1;
    WritingSheet* const scrivo;
    QLabel* const esempiopix;

    // Form variables: 16-bit, True is -1.
    qint16 SoundOff = 0;
    qint16 CornerRadius = 0;
    qint16 Busy = 0;

    // How the quit keys end the program: at once, or held (--hold-to-quit).
    QuitHold quitHold;

    Platform& platform() const { return platform_; }
    // The folder that holds the program and its media: the bundled library.
    QString mediaFolder() const { return platform_.programFolder->path(); }
    // The user's own library, looked in first; empty for none. It need not exist.
    const QString& userMediaFolder() const { return platform_.userMediaFolder; }
    // Both libraries as one, where every recording is looked for: bound to
    // the two folders above at start-up, or at first use.
    MediaLibrary& media();

    // Positions and sizes in twips.
    TwipsRect twips(const QWidget* control) const { return twips_.value(control); }
    void place(QWidget* control, const TwipsRect& rect);
    void setTwipsSize(QWidget* control, double width, double height);
    double twipsPerPixelX() const { return platform_.screen->twipsPerPixelX(); }
    double twipsPerPixelY() const { return platform_.screen->twipsPerPixelY(); }

    // Set once a command has ended the program: no further key handling.
    bool ending() const { return ending_; }
    void endProgram();

protected:
    ~Form() = default;

private:
    Platform& platform_;
    QHash<const QWidget*, TwipsRect> twips_;
    MediaLibrary media_;
    bool ending_ = false;
};

}  // namespace quillo
