#pragma once

#include <QGroupBox>

class QTextEdit;

// PREAMBLE: the text the net control reads out at the start, from the user data folder.
class PreambleFrame : public QGroupBox
{
    Q_OBJECT
public:
    explicit PreambleFrame(QWidget *parent = nullptr);

    // Shows the preamble; a notice for the status line when the file is there but refused.
    QString load(const QString &userDataFolder);
    // Places the text inside the frame (the window has placed the frame).
    void arrange();
    // Page Up and Page Down from CALLSIGN: the text moves a page, the caret stays.
    void turnPage(bool forward);

private:
    QTextEdit *m_text;
};
