#pragma once

#include <QString>

class QWidget;

namespace quillo {

// A modal box with an information icon and one OK button.
class MessageBox {
public:
    virtual ~MessageBox() = default;
    virtual void information(QWidget* parent, const QString& title, const QString& text) = 0;
};

class QtMessageBox final : public MessageBox {
public:
    void information(QWidget* parent, const QString& title, const QString& text) override;
};

}  // namespace quillo
