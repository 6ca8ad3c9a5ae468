#pragma once

#include "core/DatabaseOpener.h"
#include "core/Outcome.h"

#include <functional>

class Session;

// The log in that follows every opening of the database: at start-up, after
// "&Connexion" and after "&Changer d'utilisateur".
namespace StartupLogin {

// Shows the login panel; true when it ended with a user logged in.
using LoginPanel = std::function<bool()>;

// Opens the database (never creating it), makes sure the administrator
// exists, releases this workstation's locks and logs in: through the panel,
// or with the stored pair when Connect/Auto is set. Then loads the
// customer's words. Succeeds when the data menus may be enabled.
Outcome run(Session &session, const OpenCallbacks &callbacks, const LoginPanel &panel);

// The same without opening: for a database that is already open.
Outcome logIn(Session &session, const LoginPanel &panel);

} // namespace StartupLogin
