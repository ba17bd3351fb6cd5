#pragma once

#include "frames/uBaseList.h"

#include <optional>

// Employees ("职员") with their department, edited in the grid; also the
// employee picker of the user and bill screens, which may limit it to one
// department. A new employee takes the department of the employee saved last.
class TfrmListEmployee : public TfrmBaseList {
    Q_OBJECT
public:
    explicit TfrmListEmployee(QWidget *parent = nullptr);

    void opendata() override;

    // Set by a caller before the screen is shown: only this department's employees are listed (0: all).
    int departId() const { return FdepartId; }
    void setDepartId(int id) { FdepartId = id; }

    // The department button of the current row.
    void btnDepartClick();
    // A department number typed into the "部门编号" cell.
    void departNoValidate(const QString &departNo);

    struct Choice {
        int id = 0;
        QString emp_no;
        QString emp_name;
    };
    // Runs the employee picker (employees in use, of one department when departId is not 0).
    static std::optional<Choice> pick(QWidget *owner, int departId = 0);

    Dataset FDDepart;
    // Department of the last saved employee, given to the next new one.
    int storeId = 0;

protected:
    void FDQuery1NewRecord() override;
    bool FDQuery1BeforePost() override;
    void FDQuery1AfterPost() override;

private:
    void takeDepartment(int id, const QString &departNo, const QString &departName);

    int FdepartId = 0;
};
