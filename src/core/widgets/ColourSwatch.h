#pragma once

#include <QPushButton>

// A button filled with a colour; clicking it opens the colour chooser. The
// colour is held as stored in the database, 0x00BBGGRR (see ColourValue.h);
// white until set.
class ColourSwatch : public QPushButton
{
    Q_OBJECT
public:
    explicit ColourSwatch(QWidget *parent = nullptr);

    int value() const { return m_value; }
    void setValue(int value);
    QColor colour() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

public slots:
    // Opens the chooser on the current colour; cancelling keeps it.
    void choose();

signals:
    void valueChanged(int value);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int m_value = 0xFFFFFF;
};
