#pragma once

#include <QTreeWidget>

class Dataset;

// A tree over the rows of a dataset (key, parent and text fields; rows whose
// parent is NULL are top-level nodes). Selecting a node moves the dataset to
// its row and the tree follows the dataset's current row, unless the dataset's
// controls are disabled while a caller moves it around.
class DbTreeView : public QTreeWidget {
    Q_OBJECT
public:
    explicit DbTreeView(QWidget *parent = nullptr);

    void setDataset(Dataset *ds, const QString &keyField = QStringLiteral("id"),
                    const QString &parentField = QStringLiteral("parent_id"),
                    const QString &textField = QStringLiteral("class_name"));
    Dataset *dataset() const { return m_ds; }

    // Like a data-aware control: while disabled the tree neither follows the
    // dataset nor moves it; enabling rebuilds it from the dataset.
    void disableControls();
    void enableControls();

    // Id of the selected node's row; 0 when none.
    int currentId() const;
    QString currentText() const;

signals:
    void selectionChangedTo(int id);

private:
    void rebuild();
    void followDataset();

    Dataset *m_ds = nullptr;
    QString m_key, m_parent, m_text;
    int m_disabled = 0;
    bool m_building = false;
};
