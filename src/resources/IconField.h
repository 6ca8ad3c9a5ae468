#pragma once

#include <QWidget>
#include <functional>

class Prompter;
class QLabel;
class QPushButton;

// The planning icon of a record: its picture from the images folder, a
// button to choose another one and one to clear it. Without an images
// folder there is nothing to choose from and both buttons stay off.
class IconField : public QWidget
{
    Q_OBJECT
public:
    IconField(Prompter &prompter, const QString &imagesFolder, const QString &chooseTip, const QString &clearTip,
              QWidget *parent = nullptr);

    QString icon() const { return m_icon; }
    void setIcon(const QString &icon);

    // How the picture is chosen (tests replace the chooser window).
    using Chooser = std::function<QString(const QString &folder, const QString &current)>;
    void setChooser(const Chooser &chooser) { m_chooser = chooser; }

    QPushButton *chooseButton() const { return m_choose; }
    QPushButton *clearButton() const { return m_clear; }

public slots:
    void choose();
    void clear();

signals:
    void iconChanged(const QString &icon);

private:
    QString m_icon;
    QString m_folder;
    Chooser m_chooser;
    QLabel *m_picture;
    QPushButton *m_choose;
    QPushButton *m_clear;
};
