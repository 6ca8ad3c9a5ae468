#pragma once

#include "core/widgets/RecordScreen.h"
#include "resources/IconField.h"

#include "access/Access.h"
#include "reports/ListRequest.h"
#include "resources/ResourceStore.h"

#include <QDialog>
#include <QHash>
#include <QPair>
#include <functional>

class ColourSwatch;
class DateField;
class ProfileTable;
class ProfileWeekView;
class Prompter;
class QComboBox;

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QTabWidget;
class QTreeWidget;
class ReportTable;
class Session;

// One resource with everything hung on it: identity, colours and icon, hour
// profile, services and skills, contracts, memos and dependents. Opening an
// existing resource locks it for this workstation until the screen closes.
// Each data field is named after its database column.
class GesRessources : public RecordScreen
{
    Q_OBJECT
public:
    // number 0: a new resource.
    GesRessources(Session &session, Prompter &prompter, qint64 number, QWidget *parent = nullptr);

    // Opens the screen modally; the number it ended on, 0 when nothing was saved.
    static qint64 edit(Session &session, Prompter &prompter, qint64 number, QWidget *parent = nullptr);

    qint64 number() const { return m_resource.number; }

    // Replaceable pickers (tests use no modal window).
    using Chooser = std::function<ListAnswer(const ListRequest &)>;
    using IconChooser = IconField::Chooser;
    using Previewer = std::function<void(const ReportTable &)>;
    // Edits a profile (0: a new one); the profile to show after, 0 when cancelled.
    using ProfileEditor = std::function<qint64(qint64)>;
    void setChooser(const Chooser &chooser) { m_chooser = chooser; }
    void setIconChooser(const IconChooser &chooser) { m_icon->setChooser(chooser); }
    void setPreviewer(const Previewer &previewer) { m_previewer = previewer; }
    void setProfileEditor(const ProfileEditor &editor) { m_profileEditor = editor; }

    QTabWidget *tabs() const { return m_tabs; }
    QLineEdit *codeField() const { return m_code; }
    QRadioButton *typeOption(int type) const { return m_types[type]; }
    QComboBox *civilityList() const { return m_civility; }
    DateField *birthdayField() const { return m_birthday; }
    ColourSwatch *backgroundSwatch() const { return m_background; }
    ColourSwatch *textSwatch() const { return m_text; }
    QPushButton *iconButton() const { return m_icon->chooseButton(); }
    QPushButton *clearIconButton() const { return m_icon->clearButton(); }
    QPushButton *historyButton() const { return m_historyButton; }
    QComboBox *profileList() const { return m_profiles; }
    ProfileWeekView *profileWeek() const { return m_profileWeek; }
    ProfileTable *profileTable() const { return m_profileTable; }
    QTreeWidget *serviceList() const { return m_services; }
    QTreeWidget *skillList() const { return m_skills; }

    QTreeWidget *contractList() const { return m_contracts; }
    QComboBox *contractTypeList() const { return m_contractType; }
    DateField *contractStartField() const { return m_contractStart; }
    DateField *contractEndField() const { return m_contractEnd; }
    QPlainTextEdit *contractCommentField() const { return m_contractComment; }

    QTreeWidget *memoList() const { return m_memos; }
    QComboBox *memoTypeList() const { return m_memoType; }
    DateField *memoDateField() const { return m_memoDate; }
    QLineEdit *memoTitleField() const { return m_memoTitle; }
    QPlainTextEdit *memoTextField() const { return m_memoText; }

    QTreeWidget *dependentList() const { return m_dependents; }
    QComboBox *dependentCivilityList() const { return m_dependentCivility; }
    QLineEdit *dependentSurnameField() const { return m_dependentSurname; }
    QLineEdit *dependentFirstNameField() const { return m_dependentFirstName; }
    QComboBox *kinshipList() const { return m_kinship; }
    DateField *dependentBirthField() const { return m_dependentBirth; }

public slots:
    // Saves the resource and stays on it, reloaded.
    void validate();
    // Rereads everything from the database; false when the resource is gone.
    bool reload();
    void removeResource();

    void addService();
    void removeService();
    void addSkill();
    void removeSkill();
    void newProfile();
    void editProfile();

    void newContract();
    void saveContract();
    void removeContract();
    void newMemo();
    void saveMemo();
    void removeMemo();
    void moveMemo(int direction);
    void printMemos();
    void newDependent();
    void saveDependent();
    void removeDependent();

signals:
    // The history report of the resource was asked for.
    void historyRequested(qint64 resource);

private:
    QWidget *identityTab();
    QWidget *profileTab();
    QWidget *servicesTab();
    QWidget *contractsTab();
    QWidget *memosTab();
    QWidget *dependentsTab();
    QLineEdit *lineField(const QString &column, const QString &table = QStringLiteral("kp_ressources"));
    void openCodeTable(const QString &table);
    void fillCodeLists();
    void fillProfiles(qint64 select);

    Resource gather() const;
    void showResource();
    void showServices();
    void showSkills();
    void showProfile();
    void showContracts(qint64 select = 0);
    void showMemos(qint64 select = 0);
    void showDependents(qint64 select = 0);
    void contractChosen();
    void memoChosen();
    void dependentChosen();
    void updateState();

    // The resource saved as it stands on the screen; false when refused or gone.
    bool saveResource();
    // A sub-record needs a resource with a code, saved first.
    bool ownerReady();
    QString resourceCodeMissing() const;

    Rights m_rights;
    Resource m_resource;
    QString m_imagesFolder;
    QHash<QString, QString> m_serviceLabels;
    QHash<qint64, QPair<QString, QString>> m_skillLabels; // domain label, skill label
    qint64 m_contract = 0;
    qint64 m_memo = 0;
    qint64 m_dependent = 0;

    Chooser m_chooser;
    Previewer m_previewer;
    ProfileEditor m_profileEditor;

    QTabWidget *m_tabs;
    QLineEdit *m_code;
    QRadioButton *m_types[3];
    QComboBox *m_civility;
    QHash<QString, QLineEdit *> m_fields; // by column
    DateField *m_birthday;
    ColourSwatch *m_background;
    ColourSwatch *m_text;
    IconField *m_icon;
    QPushButton *m_historyButton;
    QPushButton *m_deleteButton;

    QComboBox *m_profiles;
    QRadioButton *m_weekOption;
    QStackedWidget *m_profileViews;
    ProfileWeekView *m_profileWeek;
    ProfileTable *m_profileTable;
    QPushButton *m_editProfileButton;

    QTreeWidget *m_services;
    QTreeWidget *m_skills;

    QTreeWidget *m_contracts;
    QComboBox *m_contractType;
    DateField *m_contractStart;
    DateField *m_contractEnd;
    QPlainTextEdit *m_contractComment;

    QTreeWidget *m_memos;
    QComboBox *m_memoType;
    DateField *m_memoDate;
    QLineEdit *m_memoTitle;
    QPlainTextEdit *m_memoText;

    QTreeWidget *m_dependents;
    QComboBox *m_dependentCivility;
    QLineEdit *m_dependentSurname;
    QLineEdit *m_dependentFirstName;
    QComboBox *m_kinship;
    DateField *m_dependentBirth;
};
