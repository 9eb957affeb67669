#include "platform/ErrorText.h"

#include "platform/LastError.h"

// This file is compiled with the GBK execution character set: its Chinese literals are GBK bytes.
std::string GetErrorReasonText(DWORD dwCode)
{
    switch (dwCode)
    {
    case ERROR_FILE_NOT_FOUND:
        return "文件不存在";
    case ERROR_PATH_NOT_FOUND:
        return "文件夹不存在";
    case ERROR_ACCESS_DENIED:
        return "没有访问权限";
    case ERROR_NOT_ENOUGH_MEMORY:
        return "路径太长或内存不足";
    case ERROR_INVALID_DATA:
        return "数据无效";
    case ERROR_WRITE_FAULT:
        return "写入的字节不完整";
    case ERROR_READ_FAULT:
        return "读取的字节不完整";
    case ERROR_GEN_FAILURE:
        return "设备出错";
    case ERROR_LOCK_VIOLATION:
        return "另一个程序正在修改该院校的数据";
    case ERROR_INVALID_PASSWORD:
        return "密码不正确";
    case ERROR_FILE_EXISTS:
        return "同名的文件太多";
    case ERROR_BAD_PATHNAME:
        return "应是文件夹的地方不是文件夹";
    case ERROR_STOPPED_ON_SYMLINK:
        return "文件夹是符号链接，程序不经由链接写入";
    case ERROR_DISK_FULL:
        return "磁盘空间不足";
    case ERROR_FILENAME_EXCED_RANGE:
        return "路径太长";
    case ERROR_BAD_FILE_TYPE:
        return "不是普通文件（是管道、套接字或设备）";
    case ERROR_DATA_CHECKSUM_ERROR:
        return "文件的大小或校验和与上次保存时记下的不一致";
    case ERROR_FILE_TOO_LARGE:
        return "文件超过了允许的大小";
    case ERROR_DIRECTORY:
        return "这是一个文件夹";
    case ERROR_FILE_INVALID:
        return "文件已被另一个程序修改";
    case ERROR_INTERNAL_ERROR:
        return "程序内部错误";
    case ERROR_FILE_CORRUPT:
        return "文件已损坏";
    case ERROR_CANT_RESOLVE_FILENAME:
        return "符号链接指向的文件不存在或链接成环";
    case ERROR_FILE_READ_ONLY:
        return "文件是只读的";
    default:
        return "错误码 " + std::to_string(dwCode);
    }
}
