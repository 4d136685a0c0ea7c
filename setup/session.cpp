#include "setup/session.h"

SetupSession g_session;
