#pragma once
#include <QDialog>

namespace velto {

// The about box: the program's picture, its title and OK.
class FrmAbout : public QDialog {
    Q_OBJECT
public:
    explicit FrmAbout(QWidget *parent = nullptr);
};

} // namespace velto
