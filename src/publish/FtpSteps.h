#pragma once

// The steps of the FTP client in one table: for each step the request kind it has when
// run alone, how it begins, its command, the reply codes it accepts and what the
// accepted reply leads to; and the steps of every compound request.

#include <array>
#include <bit>

#include "publish/FtpCli.h"

namespace tessel {

// How a step begins.
enum TStepStart {
    ssCommand,   // sends its command at once
    ssOpen,      // name lookup, connect, banner
    ssPort,      // listens (or asks for PASV) and names the data port
    ssRest,      // the size of the local file, or nothing at all
    ssTransfer,  // local file, data connection, then the command
};

// What follows the command's name.
enum TArgument {
    agNone,
    agUserName,
    agPassWord,
    agHostDirName,
    agHostFileName,
    agOptionalHostFileName,  // " " + HostFileName only when there is one
    agTypeLetter,
    agLocalFileName,     // the new name of RNTO
    agRawLocalFileName,  // the whole command is LocalFileName
};

// What the accepted reply leads to.
enum TAfterReply {
    arReport,          // the step is done
    arDirectory,       // the quoted directory is read, then the step is done
    arSize,            // the size is read, then the step is done
    arCloseControl,    // the control connection closes; its closing reports
    arTransferStarts,  // 1xx: the data moves until the final reply and the data close
    arStartTls,        // 234: the control connection's TLS handshake, then the step is done
    arProtected,       // every data connection from now on is protected
};

struct TFtpStepDef {
    TFtpSteps step;
    TFtpRequest request;  // the request kind when the step runs alone
    TStepStart start;
    const char* verb;
    TArgument argument;
    std::array<int, 3> accepted;  // 0 ends the list; an empty list takes any code below 500
    TAfterReply next;
    const char* refusal = nullptr;  // the error message when the reply is refused, if not the reply
};

// One row per step, in the order in which the steps of a compound request run.
inline constexpr TFtpStepDef kSteps[] = {
    {stOpen, rqOpen, ssOpen, "", agNone, {220}, arReport},
    {stAuth, rqAuth, ssCommand, "AUTH TLS", agNone, {234}, arStartTls, kFtpNoTlsMessage},
    {stPbsz, rqPbsz, ssCommand, "PBSZ 0", agNone, {200}, arReport},
    {stProt, rqProt, ssCommand, "PROT P", agNone, {200}, arProtected},
    {stUser, rqUser, ssCommand, "USER", agUserName, {331, 230}, arReport},
    {stPass, rqPass, ssCommand, "PASS", agPassWord, {230}, arReport},
    {stCwd, rqCwd, ssCommand, "CWD", agHostDirName, {200, 250, 257}, arDirectory},
    {stCDup, rqCDup, ssCommand, "CDUP", agNone, {250}, arDirectory},
    {stType, rqTypeSet, ssCommand, "TYPE", agTypeLetter, {200}, arReport},
    {stPort, rqPort, ssPort, "PORT", agNone, {200, 227}, arReport},
    {stRest, rqRest, ssRest, "REST", agNone, {}, arReport},
    {stRetr, rqGet, ssTransfer, "RETR", agOptionalHostFileName, {125, 150}, arTransferStarts},
    {stStor, rqPut, ssTransfer, "STOR", agHostFileName, {125, 150}, arTransferStarts},
    {stAppe, rqAppend, ssTransfer, "APPE", agHostFileName, {125, 150}, arTransferStarts},
    {stList, rqDir, ssTransfer, "LIST", agOptionalHostFileName, {125, 150}, arTransferStarts},
    {stNlst, rqLs, ssTransfer, "NLST", agOptionalHostFileName, {125, 150}, arTransferStarts},
    {stSyst, rqSyst, ssCommand, "SYST", agNone, {215}, arReport},
    {stMkd, rqMkd, ssCommand, "MKD", agHostFileName, {257}, arDirectory},
    {stRmd, rqRmd, ssCommand, "RMD", agHostFileName, {250, 257}, arReport},
    {stRnfr, rqRenFrom, ssCommand, "RNFR", agHostFileName, {350}, arReport},
    {stRnto, rqRenTo, ssCommand, "RNTO", agLocalFileName, {250, 257}, arReport},
    {stSize, rqSize, ssCommand, "SIZE", agHostFileName, {213}, arSize},
    {stDele, rqDele, ssCommand, "DELE", agHostFileName, {250, 257}, arReport},
    {stPwd, rqPwd, ssCommand, "PWD", agNone, {250, 257}, arDirectory},
    {stQuote, rqQuote, ssCommand, "", agRawLocalFileName, {}, arReport},
    {stQuit, rqQuit, ssCommand, "QUIT", agNone, {221}, arCloseControl},
};

struct TCompoundDef {
    TFtpRequest request;
    TFtpSteps steps;
};

// Skipped unless TLS is asked for.
inline constexpr TFtpSteps kTlsSteps = stAuth | stPbsz | stProt;
inline constexpr TFtpSteps kLoginSteps = stOpen | kTlsSteps | stUser | stPass;

inline constexpr TCompoundDef kCompounds[] = {
    {rqConnect, kLoginSteps},
    {rqReceive, kLoginSteps | stCwd | stType | stPort | stRetr | stQuit},
    {rqDir, stPort | stList},
    {rqLs, stPort | stNlst},
    {rqGet, stPort | stRetr},
    {rqDirectory, kLoginSteps | stCwd | stPort | stList | stQuit},
    {rqList, kLoginSteps | stCwd | stPort | stNlst | stQuit},
    {rqSystem, kLoginSteps | stSyst | stQuit},
    {rqSize, kLoginSteps | stCwd | stSize | stQuit},
    {rqPut, stPort | stStor},
    {rqAppend, stPort | stAppe},
    {rqRename, kLoginSteps | stCwd | stRnfr | stRnto | stQuit},
    {rqRen, stRnfr | stRnto},
    {rqDelete, kLoginSteps | stCwd | stDele | stQuit},
    {rqMkdir, kLoginSteps | stCwd | stMkd | stQuit},
    {rqRmdir, kLoginSteps | stCwd | stRmd | stQuit},
    {rqDoQuote, kLoginSteps | stCwd | stQuote | stQuit},
    {rqTransmit, kLoginSteps | stCwd | stType | stPort | stStor | stQuit},
    {rqRestartGet, stPort | stRest | stRetr},
    {rqRestartReceive, kLoginSteps | stCwd | stType | stPort | stRest | stRetr | stQuit},
};

constexpr bool StepsInBitOrder() {
    for (std::size_t i = 0; i < std::size(kSteps); ++i) {
        if (kSteps[i].step != (1u << i)) {
            return false;
        }
    }
    return true;
}
static_assert(StepsInBitOrder(), "kSteps must list the steps in the order of their bits");

inline const TFtpStepDef& StepDef(TFtpSteps step) {
    return kSteps[std::countr_zero(step)];
}

inline TFtpSteps CompoundSteps(TFtpRequest rq) {
    for (const auto& c : kCompounds) {
        if (c.request == rq) {
            return c.steps;
        }
    }
    return 0;
}

inline constexpr TFtpSteps kTransferSteps = stRetr | stStor | stAppe | stList | stNlst;
inline constexpr TFtpSteps kReceiveSteps = stRetr | stList | stNlst;
inline constexpr TFtpSteps kHostFileSteps =
    kTransferSteps | stMkd | stRmd | stRnfr | stSize | stDele;

}  // namespace tessel
