#pragma once

#include "form/form.h"
#include "form/key_queue.h"

#include <QWidget>

namespace quillo {

// The one window: it builds the form's controls (the word box, the picture,
// the word-mode button, the hidden picture list and the writing sheet), lays
// them out, and turns the sheet's key events, each in its turn, into calls of
// the key handlers.
// What the handlers do lives in feedback/, commands/ and settings/; they see
// only the Form.
class Parla final : public QWidget, public Form {
    Q_OBJECT
public:
    explicit Parla(Platform& platform, QWidget* parent = nullptr);

    // Makes the window cover its whole screen, borderless.
    void showCoveringScreen();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // One key event of the sheet, in its turn (KeyQueue): true when it goes no further.
    bool answerSheetEvent(QEvent& event);
    bool handleSheetKey(QKeyEvent* event);
    void handleSheetInput(const QString& committed);

    KeyQueue sheetKeys_;
};

}  // namespace quillo
