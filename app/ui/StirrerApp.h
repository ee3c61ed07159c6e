#pragma once

class CCommandLine;

// The application object: shows the main dialog modally and ends with it;
// other programs of the same user reach that dialog through the run-state
// endpoint while it is open.
class CStirrerApp
{
public:
    // Runs the program with a QApplication already in place; the exit code.
    int InitInstance(const CCommandLine& cl);
};
