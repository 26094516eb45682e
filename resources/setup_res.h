// Resource ids of the installer SaverSetup.exe (resources/setup.rc).
#pragma once

#define IDS_SETUP_SAVER_NAME 1  // "the Corvane saver"
#define IDS_SETUP_SAVER_FILE 2  // "Corvane.scr"

#define IDI_SETUP 1             // the program
#define IDI_SETUP_EDGEWAKE 101  // beside the text on Edgewake
#define IDI_SETUP_CREDIT 103    // beside the credit
#define IDI_SETUP_SAVER 104     // beside the saver's name
