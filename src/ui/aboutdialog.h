#pragma once
#include <QDialog>

namespace velto {

// The about box: the program's picture, its title and OK.
class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget *parent = nullptr);
};

} // namespace velto
