#pragma once

class CbcModel;

// Ctrl-C while CBC solves. CBC's solver stops its search when told of an event, and lets its
// caller stop it between its phases (before preprocessing's result is used, before the
// search); the handler does the one in the search and notes the press for the others.
class CbcInterrupt {
public:
    // Catches SIGINT until destroyed; the handling before it comes back.
    CbcInterrupt();
    ~CbcInterrupt();
    CbcInterrupt(const CbcInterrupt&) = delete;
    CbcInterrupt& operator=(const CbcInterrupt&) = delete;

    // Whether Ctrl-C was pressed since the catching began.
    static bool pressed();
    // The model whose search a press stops at once; null when none is searching.
    static void searching(CbcModel* model);
};
