#pragma once

#include <QDialog>
#include <string>

class QFrame;
class QLabel;
class QPushButton;
class TDataBase;

// The information dialog: program name and version, the maker's notice, the
// program icon, the open database's file name with its number of entries, and
// the author's contact address with a button that starts a new e-mail to it.
class TInfoForm : public QDialog {
    Q_OBJECT
public:
    // The author's contact address shown in eMailLabel and used by MailButton.
    static QString ContactAddress() { return QStringLiteral("mavrolin@example.org"); }

    explicit TInfoForm(QWidget* parent = nullptr);

    // Fills DataBaseLabel from the database and shows the dialog modally.
    void Execute(const TDataBase& dataBase);
    // The filling step of Execute, without showing the dialog.
    void Fill(const TDataBase& dataBase);

    // "Datenbank: " + the file-name part of `fileName` + " (" + count + ")".
    // `fileName` is the database's native path; its file-name part is what
    // follows the last "/" (empty for a database without file).
    static QString DataBaseCaption(const std::string& fileName, int count);

    QLabel* ProjectNameLabel;
    QLabel* VersionLabel;
    QLabel* CompanyLabel;
    QFrame* Bevel1;
    QLabel* Icon;
    QLabel* DataBaseLabel;
    QFrame* Bevel2;
    QLabel* ProgrammerLabel;
    QLabel* ProgrammernameLabel;
    QLabel* eMailLabel;
    QPushButton* MailButton;
    QPushButton* OkButton;

    // Handlers.
    // Asks the desktop to open a new mail to ContactAddress; the outcome is
    // not checked (without a mail program nothing happens).
    void MailButtonClick();

private:
    // The dialog has no cancel button: Escape does not close it.
    void keyPressEvent(QKeyEvent* event) override;
};
