# The SMTP, POP3, IMAP and FTP checks and their helpers, part of the checks library.
find_package(OpenSSL REQUIRED)
target_sources(checks PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/MailFtpText.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Pop3Apop.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ImapResponse.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FtpProxyLogin.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MailFtpReplies.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ThreadSMTPCheck.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ThreadPOP3Check.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ThreadIMAPCheck.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ThreadFTPCheck.cpp
)
target_link_libraries(checks PUBLIC OpenSSL::Crypto)
