#pragma once

#include <QDialog>
#include <optional>
#include <utility>

class QLineEdit;

// Asks for the range of pages to print: from (PageDe) and to (PageA). Only
// digits are kept; Enter moves from one field to the next and then
// confirms; Escape closes. A "to" below "from" becomes "from".
class apercupagede : public QDialog
{
    Q_OBJECT
public:
    apercupagede(int from, int to, QWidget *parent = nullptr);

    QLineEdit *fromField() const { return m_from; }
    QLineEdit *toField() const { return m_to; }
    std::pair<int, int> range() const;

    // The chosen range, or nullopt when the dialog was closed.
    static std::optional<std::pair<int, int>> ask(int from, int to, QWidget *parent = nullptr);

    void accept() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLineEdit *m_from;
    QLineEdit *m_to;
};
