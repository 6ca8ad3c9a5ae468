#include "settings/LanguageScreens.h"

#include "access/GesGroupes.h"
#include "access/GesUtilisateurs.h"
#include "access/PanLogin.h"
#include "clients/ChoixEdit.h"
#include "clients/ListClients.h"
#include "messaging/Frm_BoiteLettres.h"
#include "messaging/Frm_SendMail.h"
#include "planning/Frm_Param.h"
#include "planning/ParamPlanning.h"
#include "resources/CatalogueScreens.h"
#include "resources/Equipes.h"
#include "resources/GesCivilites.h"
#include "resources/GesHoraires.h"
#include "resources/ListRessources.h"
#include "settings/FrmParam.h"
#include "settings/Frm_AidParam.h"
#include "tasks/DefTaches.h"
#include "tasks/Frm_Periode.h"
#include "tasks/ListEtapes.h"

namespace {

template <typename Screen>
TestLang::ScreenFactory withSessionAndPrompter(Session &session, Prompter &prompter)
{
    return [&session, &prompter](QWidget *parent) -> QWidget * { return new Screen(session, prompter, parent); };
}

} // namespace

QList<TestLang::ScreenFactory> languageScreens(Session &session, Prompter &prompter)
{
    return {
        withSessionAndPrompter<FrmParam>(session, prompter),
        withSessionAndPrompter<Frm_AidParam>(session, prompter),
        [](QWidget *parent) -> QWidget * { return new ChoixEdit(parent); },
        [&session](QWidget *parent) -> QWidget * { return new Frm_Param(session, parent); },
        withSessionAndPrompter<ParamPlanning>(session, prompter),
        withSessionAndPrompter<ListClients>(session, prompter),
        withSessionAndPrompter<ListRessources>(session, prompter),
        withSessionAndPrompter<GesHoraires>(session, prompter),
        withSessionAndPrompter<GesCivilites>(session, prompter),
        withSessionAndPrompter<GesContrats>(session, prompter),
        withSessionAndPrompter<GesUrgences>(session, prompter),
        withSessionAndPrompter<DefZones>(session, prompter),
        withSessionAndPrompter<GesCompetences>(session, prompter),
        withSessionAndPrompter<GesJoursFer>(session, prompter),
        withSessionAndPrompter<GesConges>(session, prompter),
        withSessionAndPrompter<GesUtilisateurs>(session, prompter),
        withSessionAndPrompter<GesGroupes>(session, prompter),
        withSessionAndPrompter<PanLogin>(session, prompter),
        withSessionAndPrompter<Frm_BoiteLettres>(session, prompter),
        withSessionAndPrompter<DefTaches>(session, prompter),
        withSessionAndPrompter<ListEtapes>(session, prompter),
        withSessionAndPrompter<Frm_Periode>(session, prompter),
    };
}
