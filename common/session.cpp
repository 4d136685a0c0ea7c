#include "common/session.h"

SetupSession g_session;
