#pragma once

#include <QList>
#include <QPushButton>
#include <QString>

// A button that opens a list of ticks: no tick means no restriction.
class MultiChoiceButton : public QPushButton
{
    Q_OBJECT
public:
    explicit MultiChoiceButton(const QString &title, QWidget *parent = nullptr);

    void setChoices(const QList<QPair<QString, qint64>> &choices);
    QList<qint64> checked() const { return m_checked; }
    void setChecked(const QList<qint64> &values);
    // The ticked labels, comma-separated; empty when none is ticked.
    QString checkedText() const;

signals:
    void changed();

private:
    void choose();
    void updateText();

    QString m_title;
    QList<QPair<QString, qint64>> m_choices;
    QList<qint64> m_checked;
};
