#pragma once

#include <string>
#include <vector>

#include "tests/support/TempDir.h"

namespace velluma::test {

// A PostgreSQL server of the test's own: a fresh cluster in a temporary folder, reachable only
// through a Unix socket in that folder (no TCP), with one trusted superuser. The cluster belongs
// to the "postgres" user when the test runs as root, since the server refuses to run as root.
// The server is stopped and the folder removed with the object.
class PostgresServer {
 public:
  PostgresServer();  // makes the cluster and starts the server; std::runtime_error on failure
  ~PostgresServer();
  PostgresServer(const PostgresServer&) = delete;
  PostgresServer& operator=(const PostgresServer&) = delete;

  // A "postgresql://" URI of the server's database, with a password that the server ignores.
  std::string Uri() const;

  void Start();
  // Stops the server the way a crash would: no shutdown checkpoint, connections cut.
  void Kill();

  // Runs `sql` (statements without parameters) as the superuser; std::runtime_error on failure.
  void Execute(const std::string& sql) const;

 private:
  void RunTool(const std::string& tool, const std::vector<std::string>& arguments) const;

  TempDir folder_;
  bool running_ = false;
};

}  // namespace velluma::test
