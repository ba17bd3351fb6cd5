#pragma once

#include "frames/uBaseList.h"

#include <optional>

// Warehouses ("仓库"), edited in the grid; also the warehouse picker of other screens.
class TfrmListStore : public TfrmBaseList {
    Q_OBJECT
public:
    explicit TfrmListStore(QWidget *parent = nullptr);

    void opendata() override;

    struct Choice {
        int id = 0;
        QString store_no;
        QString store_name;
    };
    // Runs the warehouse picker (warehouses in use only); empty when nothing was chosen.
    static std::optional<Choice> pick(QWidget *owner);

protected:
    void FDQuery1NewRecord() override;
    bool FDQuery1BeforePost() override;
};
