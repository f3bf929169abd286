#pragma once

#include <libpq-fe.h>

#include <string>

#include "platform/SharedLibrary.h"

namespace velluma::history {

// The libpq functions the PostgreSQL history calls, each typed as libpq declares it.
#define VELLUMA_LIBPQ_FUNCTIONS(X)                                                            \
  X(PQconnectdb) X(PQstatus) X(PQerrorMessage) X(PQfinish) X(PQreset) X(PQsetNoticeProcessor) \
  X(PQexec) X(PQexecParams) X(PQresultStatus) X(PQresultErrorField) X(PQntuples)              \
  X(PQnfields) X(PQgetvalue) X(PQgetlength) X(PQclear)

struct LibpqFunctions {
#define VELLUMA_LIBPQ_MEMBER(name) decltype(&::name) name = nullptr;
  VELLUMA_LIBPQ_FUNCTIONS(VELLUMA_LIBPQ_MEMBER)
#undef VELLUMA_LIBPQ_MEMBER
};

// PostgreSQL's client library, loaded when a PostgreSQL history is first opened rather than
// when the program starts: libpq brings some twenty libraries of its own (TLS, Kerberos, LDAP)
// that every start would otherwise load and bind, for a history most stations keep in a file.
// A build that links libpq into the program (Windows) takes the linked functions.
class PostgresLibrary {
 public:
  // The file loaded where the system finds libraries; empty where libpq is linked in.
  static const char* const kFile;

  // Loads the library `file` and finds every function in it. Throws std::runtime_error, in the
  // operator's words, when the library is not there or lacks one of them.
  explicit PostgresLibrary(const std::string& file = kFile);

  const LibpqFunctions& Functions() const { return functions_; }

 private:
  SharedLibrary library_;
  LibpqFunctions functions_;
};

// This build's libpq: loaded by the first call and kept for the rest of the run. Throws a
// HistoryError naming `location` when it cannot be loaded; the next call tries again, so a
// library installed meanwhile is found.
const LibpqFunctions& Libpq(const std::string& location);

}  // namespace velluma::history
