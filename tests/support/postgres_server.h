#pragma once
#include <string>

#include "support/temp_dir.h"

namespace testing_support {

// A PostgreSQL server of the test's own: a fresh cluster in a temporary folder, reached only
// through a Unix socket there, stopped and removed with the object. PostgreSQL refuses to run
// as root, so under root (as CI runs) the server runs as the system's "nobody"; the test
// itself connects as the cluster's owner role "molvane" without a password, and as "guarded"
// only with the password "right-password".
class PostgresServer {
 public:
  PostgresServer();
  ~PostgresServer();
  PostgresServer(const PostgresServer&) = delete;
  PostgresServer& operator=(const PostgresServer&) = delete;

  bool Running() const { return running; }
  // Why it did not start, with the server's own log.
  const std::string& Failure() const { return failure; }
  // postgresql://molvane@/postgres?host=<folder>&port=<port>, or another role and password.
  std::string Uri(const std::string& userInfo = "molvane") const;
  // Stops the server, ending its connections; Start brings it back with the same data.
  bool Stop();
  bool Start();
  // Runs SQL through psql as "molvane"; its output (unaligned, tuples only), or empty.
  std::string Psql(const std::string& sql) const;

 private:
  bool Run(const std::string& program, const std::string& arguments, bool asServerUser) const;

  TempDir dir;
  std::string bin, folder;
  bool running = false;
  std::string failure;
};

}  // namespace testing_support
