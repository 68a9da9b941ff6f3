// The spectrum window's pinned elements: a list of them in their marker
// colours, a box to type symbols or atomic numbers into ("Fe Cu, 29"), and
// buttons to pin the element on show in the main window and to unpin.
#pragma once

#include "uicommon/lazypanel.h"

#include <QColor>
#include <QList>
#include <QPair>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

class ElementPanel : public LazyPanel {
    Q_OBJECT

public:
    explicit ElementPanel(QWidget *parent = nullptr);

    // The pinned elements, each with its colour, in the order pinned.
    void setElements(const QList<QPair<int, QColor>> &elements);

    QListWidget *list() const { return (ensureBuilt(), list_); }
    QLineEdit *entry() const { return (ensureBuilt(), entry_); }
    QPushButton *pinShownButton() const { return (ensureBuilt(), pinShown_); }
    QPushButton *removeButton() const { return (ensureBuilt(), remove_); }

signals:
    void pinRequested(const QList<int> &elements);
    void unpinRequested(int Z);
    void pinShownRequested();

protected:
    void build() override;
    void changeEvent(QEvent *event) override;

private:
    void retranslate();
    void fillList();
    void addTyped();
    void removeSelected();

    QListWidget *list_ = nullptr;
    QLineEdit *entry_ = nullptr;
    QPushButton *add_ = nullptr;
    QPushButton *remove_ = nullptr;
    QPushButton *pinShown_ = nullptr;
    QLabel *hint_ = nullptr;
    QLabel *error_ = nullptr;
    QStringList unknown_; // what the last typed text held that is no element
    QList<QPair<int, QColor>> elements_;
};
