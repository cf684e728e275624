-- The role a bay's vazdiag uses on the shared history server: it may read and add
-- sessions, and update only what a running session changes (its end, a test step's
-- outcome, the identification as shown); it may not delete, create or alter anything.
-- Run in the history's database as its owner, once the role exists (CREATE ROLE bay
-- LOGIN; then \password bay) and the first vazdiag, run with the owner's role, has made
-- the tables. The owner's role also runs the first vazdiag of a newer version, which
-- brings the tables up to date (run this file again after it).
GRANT USAGE ON SCHEMA public TO bay;
REVOKE CREATE ON SCHEMA public FROM PUBLIC;
GRANT SELECT, INSERT ON ALL TABLES IN SCHEMA public TO bay;
GRANT USAGE ON SEQUENCE sessions_id_seq TO bay;
GRANT UPDATE (ended_at, ended_normally) ON sessions TO bay;
GRANT UPDATE (name, value) ON identification TO bay;
GRANT UPDATE (steps, sent, outcome) ON tests TO bay;
