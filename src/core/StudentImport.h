#pragma once

#include <string>

#include "platform/Types.h"

// Pieces every import's messages share. Every text handed in and out is GBK unless it says UTF-8.

// "“通信地址”（TXDZ）" for the field named TXDZ, in GBK; the name itself for other names.
std::string DescribeField(const std::string& strName);

// Puts the message (GBK) into strError and returns FALSE: a failure in one line.
BOOL FailWithMessage(std::string& strError, std::string strMessage);
