#pragma once

// Scripted answers for the message helper that turn an unanswered dialog, an
// answer of the wrong sort or an unused answer into a failure of the running
// test (instead of the default abort).

#include "gui/msgdlg.h"

#include <gtest/gtest.h>

class DialogScript : public msgdlg::test::Script
{
public:
    DialogScript() : Script([](const std::string& problem) { ADD_FAILURE() << problem; }) { }
};
