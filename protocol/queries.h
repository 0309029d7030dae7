// Information queries: one opcode-3 request to the selected device
// (protocolSession.selectedAddress), one value back. Each returns 1 on success and 0
// when no device is selected or it does not answer; the value field is emptied first
// and keeps the value only on success.
#pragma once

int QueryVolumes();     // rebuilds volumeList
int QueryCodepage();    // codepageValue
int QueryDiskState();   // diskStateValue
int QueryShareName();   // shareNameValue
int QueryBtFirmware();  // btFirmwareValue
int QueryDomain();      // domainValue
int QuerySsl();         // sslValue
int QueryPortConfig();  // portConfig; left unchanged on failure
