#pragma once

#include "frames/uBaseList.h"

#include <optional>

// Departments ("部门"), edited in the grid; also the department picker of the
// employee, bill and report screens.
class TfrmListDepart : public TfrmBaseList {
    Q_OBJECT
public:
    explicit TfrmListDepart(QWidget *parent = nullptr);

    void opendata() override;

    struct Choice {
        int id = 0;
        QString depart_no;
        QString depart_name;
    };
    // Runs the department picker (departments in use only); empty when nothing was chosen.
    static std::optional<Choice> pick(QWidget *owner);

protected:
    void FDQuery1NewRecord() override;
    bool FDQuery1BeforePost() override;
};
