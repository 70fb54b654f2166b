#pragma once
// The controls of the window FFileInfo, each declared once under its design name. The design
// table (WindowDesign.cpp) names the member each of its rows creates; nothing else lists them.

#include "controls/Button.h"
#include "controls/CheckBox.h"
#include "controls/DriveList.h"
#include "controls/FileList.h"
#include "controls/FolderList.h"
#include "controls/Frame.h"
#include "controls/Line.h"
#include "controls/ListBox.h"
#include "controls/PictureBox.h"
#include "controls/TabStrip.h"
#include "controls/TextBox.h"

#include <array>

namespace korrimat {

struct WindowControls {
    // The window
    controls::Frame frmGeneral;
    controls::Frame frmVersion;
    controls::Frame frmSignatures;
    controls::Frame frmHashes;
    controls::Frame frmProgram;
    controls::TabStrip tabInfo;
    controls::Frame Frame1;

    // frmGeneral, the General page
    controls::TextBox txtFilename;
    controls::TextBox txtType;
    controls::TextBox txtLocation;
    controls::TextBox txtSize;
    controls::TextBox txtCompSize;
    controls::TextBox txtAccessed;
    controls::TextBox txtModified;
    controls::TextBox txtCreated;
    controls::TextBox txtDosName;
    controls::TextBox txtDosPath;
    controls::Frame frmAttributes;
    controls::PictureBox picIcon;
    std::array<controls::Line, 6> Line1;
    controls::Label lblType;
    controls::Label lblLocation;
    controls::Label lblSize;
    controls::Label Label3;
    controls::Label lblAccessed;
    controls::Label lblModified;
    controls::Label lblCreated;
    controls::Label lblDosName;
    controls::Label lblDosPath;
    controls::Label lblAttributes;
    std::array<controls::CheckBox, 6> chkAttr;
    controls::TextBox txtOrigin;  // where a download came from, under the icon

    // frmVersion, the Version page
    controls::TextBox txtFileVer;
    controls::TextBox txtDescription;
    controls::TextBox txtCopyright;
    controls::Frame frmVerInfo;
    controls::Label lblFileVer;
    controls::Label lblDescription;
    controls::Label lblCopyright;
    controls::TextBox txtVerInfo;
    controls::ListBox lstVerInfo;
    controls::Label lblVerItem;
    controls::Label lblVerValue;

    // frmSignatures, the Digital Signatures page (a tab only for a file with a signature)
    controls::Label lblSignatures;
    controls::ListBox lstSignatures;
    controls::Frame frmSigDetails;
    controls::TextBox txtSigIssuer;
    controls::TextBox txtSigSerial;
    controls::TextBox txtSigValidFrom;
    controls::TextBox txtSigValidTo;
    controls::TextBox txtSigTimeStamp;
    controls::TextBox txtSigChain;
    controls::TextBox txtSigVerdict;
    controls::Label lblSigIssuer;
    controls::Label lblSigSerial;
    controls::Label lblSigValidFrom;
    controls::Label lblSigValidTo;
    controls::Label lblSigTimeStamp;
    controls::Label lblSigChain;
    controls::Label lblSigVerdict;
    controls::Label lblSigRevocation;

    // frmHashes, the Hashes page (a tab for every file)
    controls::Label lblMd5;
    controls::TextBox txtMd5;
    controls::Label lblSha1;
    controls::TextBox txtSha1;
    controls::Label lblSha256;
    controls::TextBox txtSha256;
    controls::Label lblSha512;
    controls::TextBox txtSha512;
    controls::Label lblHashState;
    controls::ProgressBar prgHashes;
    controls::Label lblCompare;
    controls::TextBox txtCompare;
    controls::Label lblHashVerdict;
    controls::Label lblSums;
    controls::Button cmdCompareFile;
    controls::Label lblFileVerdict;

    // frmProgram, the Program page (a tab for every PE image)
    controls::TextBox txtProgramSummary;
    controls::Label lblElevation;
    controls::TextBox txtProgram;

    // Frame1, the navigation lists
    controls::DriveList Drive1;
    controls::FolderList Dir1;
    controls::FileList File1;
};

} // namespace korrimat
