#pragma once

#include "app/twips.h"
#include "app/word_mode_button.h"
#include "app/writing_sheet.h"
#include "platform/picture_list.h"
#include "platform/platform.h"

#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

namespace quillo {

// The one window: the word box, the picture, the word-mode button, the hidden
// picture list and the writing sheet, with the three form variables the
// handlers share. It wires events to the handlers; what they do lives in
// feedback/, commands/ and settings/.
class Parla final : public QWidget {
    Q_OBJECT
public:
    explicit Parla(Platform& platform, QWidget* parent = nullptr);

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

    Platform& platform() const { return platform_; }
    // The folder that holds the program and its media.
    QString mediaFolder() const { return platform_.programFolder->path(); }

    // Event handlers.
    void Form_Load();  // start-up; throws Failure when it cannot complete
    void Parolasi_Click();
    void scrivo_KeyDown(qint16 keyCode, qint16 shift);
    void scrivo_KeyPress(const QString& character);

    // Form procedures.
    void Arrotondata(QWidget* isso);
    qint32 PlayWav(const QString& x);
    void ShowWord(const QString& fileName);  // throws Failure
    void LoadBaseDefaults();
    void LoadSavedSettings();
    void SaveSettings();

    // Positions and sizes in twips.
    TwipsRect twips(const QWidget* control) const { return twips_.value(control); }
    void setTwipsSize(QWidget* control, double width, double height);
    double twipsPerPixelX() const { return platform_.screen->twipsPerPixelX(); }
    double twipsPerPixelY() const { return platform_.screen->twipsPerPixelY(); }

    // Set once a command has ended the program: no further key handling.
    bool ending() const { return ending_; }
    void endProgram();

    // Makes the window cover its whole screen, borderless.
    void showCoveringScreen();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void place(QWidget* control, const TwipsRect& rect);
    bool handleSheetKey(QKeyEvent* event);
    void handleSheetInput(const QString& committed);

    Platform& platform_;
    QHash<const QWidget*, TwipsRect> twips_;
    bool ending_ = false;
};

}  // namespace quillo
