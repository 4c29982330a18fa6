-- indexes.sql: the indexes of the master database's tables, for the lookups of one user file, one
-- worksheet, one master workbook or one user that the cut, the mail, the collection, the register
-- sync and the update run make for every file. Without them each such lookup reads the whole
-- table, and the work grows with the square of the number of user files.
--
-- Every statement creates its index only where the database lacks it, so the one script serves
-- twice: the build runs it after lumimaster.sql and addedtables.sql into the file that ships, and
-- both programs run it at start-up, at logon and after a restore (core/MasterDatabaseTables.h),
-- which brings a database made by an earlier version up to date. Indexes change no table or column:
-- every reader sees the same tables, columns and rows with or without them.
--
-- An index serves a lookup only when it compares as the lookup does: names are looked up without
-- regard to case (COLLATE NOCASE_U, the collation every connection of the program registers), paths
-- and user names exactly (the column's own collation). The tables of addedtables.sql have theirs in
-- that script.

-- Worksheets: a user file by its name in a budget (collection, update run, add-in views)...
CREATE INDEX IF NOT EXISTS Worksheets_UserFile
    ON Worksheets (User_Filename COLLATE NOCASE_U, Budget_Name COLLATE NOCASE_U);
-- ... by its path (the rows that share a user file, in the cut, the collection and the update run)...
CREATE INDEX IF NOT EXISTS Worksheets_Path ON Worksheets (UFNPath);
-- ... a worksheet by its name in a budget (the cut)...
CREATE INDEX IF NOT EXISTS Worksheets_Sheet
    ON Worksheets (Worksheet_Name COLLATE NOCASE_U, Budget_Name COLLATE NOCASE_U);
-- ... the worksheets of one master workbook, by its row (cut, update run, clean-up)...
CREATE INDEX IF NOT EXISTS Worksheets_MasterId ON Worksheets (MasterFiles_ID, Budget_Name COLLATE NOCASE_U);
-- ... and by its name (answers waiting to be merged, the add-in's grids and sync).
CREATE INDEX IF NOT EXISTS Worksheets_MasterFile
    ON Worksheets (Master_File COLLATE NOCASE_U, Budget_Name COLLATE NOCASE_U);

-- UserFileTablesData: the register row of a user file in a budget (mail, collection, update run).
CREATE INDEX IF NOT EXISTS UserFileTablesData_UserFile
    ON UserFileTablesData (User_Filename COLLATE NOCASE_U, Budget_Name COLLATE NOCASE_U);

-- MasterFiles: a master workbook by its name, in a budget or in any.
CREATE INDEX IF NOT EXISTS MasterFiles_MasterFile
    ON MasterFiles (Master_File COLLATE NOCASE_U, Budget_Name COLLATE NOCASE_U);

-- UsersData: a user by the exact name (the register's join, the mail's first try, which finds the
-- name the register holds). The table has no index in the program's own collation, so that tools
-- without it can still add users; the mail's second try (the name in other letter case) reads it.
CREATE INDEX IF NOT EXISTS UsersData_User ON UsersData (Users);

-- Errors: the earlier errors of one user file in a budget (a failed merge is logged once).
CREATE INDEX IF NOT EXISTS Errors_UserFile ON Errors (UF_name COLLATE NOCASE_U, Budget_Name COLLATE NOCASE_U);
