-- addedtables.sql: the tables the program keeps in the master database beside those of
-- lumimaster.sql, for its own bookkeeping of user files and collected mail.
--
-- Every statement creates its table only where the database lacks it, so the one script serves
-- twice: the build runs it after lumimaster.sql into the file that ships, and both programs run it
-- at start-up (core/MasterDatabaseTables.h), which brings a database made by an earlier version up
-- to date. A table is only ever added here, never changed; the conventions of lumimaster.sql hold.
-- An index that a table's lookups need follows the table, made the same way where it is missing.
-- The rows are written and read by plain statements, never through a grid: they need no key.
-- None of these tables is listed in TablesList: they hold no placeholder row, and the migration
-- does not carry them over (a database without their rows works as one made before them).


-- UserFileCuts: the cut that made each user file, by the file's path. The cut stamps the same
-- identifier into the user file it saves, so that a returned file can be told from one of another
-- cut, budget or sheet (workbooks/UserFileStamp.h). Cut again, a path gets its new identifier.
CREATE TABLE IF NOT EXISTS UserFileCuts (
    UFNPath   VARCHAR(255)  CONSTRAINT "size:UFNPath" CHECK (length(UFNPath) <= 255)  UNIQUE,
    Cut_ID    VARCHAR(50)   CONSTRAINT "size:Cut_ID" CHECK (length(Cut_ID) <= 50),
    Cut_Date  DATETIME
);

-- CollectedMessages: the files taken from messages of the robot mailbox, by the mailbox, the
-- message's lasting identifier there (its UIDL) and the attached file's name, with the path of the
-- user file it answered. Applied 1: it was saved over that user file; 0: it lost to a newer answer
-- of the same collection. Either way that file of that message is never taken again. Rows of
-- messages the server no longer holds go at the end of each collection.
CREATE TABLE IF NOT EXISTS CollectedMessages (
    Pop3_Server           VARCHAR(255)                             CONSTRAINT "size:Pop3_Server" CHECK (length(Pop3_Server) <= 255),
    Pop3_Account          VARCHAR(255)                             CONSTRAINT "size:Pop3_Account" CHECK (length(Pop3_Account) <= 255),
    Message_UIDL          VARCHAR(100)                             CONSTRAINT "size:Message_UIDL" CHECK (length(Message_UIDL) <= 100),
    Attachment_Name       VARCHAR(255)                             CONSTRAINT "size:Attachment_Name" CHECK (length(Attachment_Name) <= 255),
    UFNPath               VARCHAR(255)                             CONSTRAINT "size:UFNPath" CHECK (length(UFNPath) <= 255),
    Applied               YESNO         NOT NULL DEFAULT 0         CONSTRAINT "yesno:Applied" CHECK (Applied IN (0,1)),
    Collected_Date        DATETIME
);
-- The files of one message (asked for each file of each message of every collection).
CREATE INDEX IF NOT EXISTS CollectedMessages_Message
    ON CollectedMessages (Pop3_Server, Pop3_Account, Message_UIDL);

-- ReportedMessages: the messages a collection reported as left on the mail server, with a digest
-- of the reasons it gave, so that a later collection counts them instead of listing them again
-- while their reasons stay the same. Rows of messages the server no longer holds go at the end of
-- each collection.
CREATE TABLE IF NOT EXISTS ReportedMessages (
    Pop3_Server          VARCHAR(255)                             CONSTRAINT "size:Pop3_Server" CHECK (length(Pop3_Server) <= 255),
    Pop3_Account         VARCHAR(255)                             CONSTRAINT "size:Pop3_Account" CHECK (length(Pop3_Account) <= 255),
    Message_UIDL         VARCHAR(100)                             CONSTRAINT "size:Message_UIDL" CHECK (length(Message_UIDL) <= 100),
    Reasons_Digest       VARCHAR(64)                              CONSTRAINT "size:Reasons_Digest" CHECK (length(Reasons_Digest) <= 64),
    Reported_Date        DATETIME
);
-- The reports of one message (asked for each message a collection leaves on the server).
CREATE INDEX IF NOT EXISTS ReportedMessages_Message
    ON ReportedMessages (Pop3_Server, Pop3_Account, Message_UIDL);
