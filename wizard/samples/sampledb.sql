-- sampledb.sql: the rows of the sample budget "SampleBudget". The build runs the master database's
-- schema (core/masterdb/lumimaster.sql) and then this script into sampledb.mdb, which ships in the
-- program's samples folder beside the two sample master workbooks, Employee.xlsx and
-- Departme.xlsx (made by make_samples.py). Installing the sample budget copies every listed
-- table of this file into the master database in use, by column position, after removing what an
-- earlier installation left; so the file holds only the sample's own rows, and each of them is one
-- that the installation knows how to remove again: the budget "SampleBudget" with its master
-- workbooks, worksheets and user files, the author "Velk", the folder names "LumiSupport" and
-- "LumiSystems", the users "Person1" and "Person2", one stock subject and one stock body text.
--
-- The master workbooks' Path is set to the samples folder by the installation; the user files are
-- cut there, each below its folder name, when the sample is installed.

-- The schema ships placeholder rows; the sample's tables have real rows instead.
DELETE FROM Budgets;
DELETE FROM MasterFiles;
DELETE FROM Worksheets;
DELETE FROM UserFileTablesData;
DELETE FROM Admin;
DELETE FROM FolderNames;
DELETE FROM UsersData;
DELETE FROM Subject;
DELETE FROM BodyText;

INSERT INTO Budgets (Budget_Name, Active, Budget_Date, Admin_Name, Budget_Description, Budget_Period)
VALUES ('SampleBudget', 1, '2026-01-05 09:00:00', 'Velk',
        'Staff and department costs of a small organisation: a budget to explore, cut and update.',
        'Calendar year');

-- The author is not made the default author: a master database that has its own keeps it.
INSERT INTO Admin (Admin_Name, Admin_Email_Address, "Default", RecType)
VALUES ('Velk', 'velk@example.org', 0, 'Author');

INSERT INTO FolderNames (Folder_Name) VALUES ('LumiSupport');
INSERT INTO FolderNames (Folder_Name) VALUES ('LumiSystems');

INSERT INTO UsersData (Users, Email_Address, Folder_Name) VALUES ('Person1', 'person1@example.org', 'LumiSupport');
INSERT INTO UsersData (Users, Email_Address, Folder_Name) VALUES ('Person2', 'person2@example.org', 'LumiSystems');

INSERT INTO Subject (Subject) VALUES ('This is a sample Lumivane subject.');
INSERT INTO BodyText (Body_Text) VALUES ('This is a sample Lumivane body text message.');

INSERT INTO MasterFiles (ID_MasterFiles, Master_File, Templates, Folder_Name, Process_Date, Path, Budget_Name)
VALUES (1, 'Employee.xlsx', 1, 'LumiSupport', '2026-01-05 09:00:00', 'lumixl/samples', 'SampleBudget');
INSERT INTO MasterFiles (ID_MasterFiles, Master_File, Templates, Folder_Name, Process_Date, Path, Budget_Name)
VALUES (2, 'Departme.xlsx', 1, 'LumiSystems', '2026-01-05 09:00:00', 'lumixl/samples', 'SampleBudget');

-- Every worksheet of the two workbooks; the four that people fill in are picked, each under the
-- folder of the people who fill it in. Rates, Summary and Totals stay in the master workbooks.
INSERT INTO Worksheets (Worksheet_Name, Select_By_User, Folder_Name, Master_File, Budget_Name, MasterFiles_ID)
VALUES ('Salaries', 1, 'LumiSupport', 'Employee.xlsx', 'SampleBudget', 1);
INSERT INTO Worksheets (Worksheet_Name, Select_By_User, Folder_Name, Master_File, Budget_Name, MasterFiles_ID)
VALUES ('Benefits', 1, 'LumiSystems', 'Employee.xlsx', 'SampleBudget', 1);
INSERT INTO Worksheets (Worksheet_Name, Select_By_User, Folder_Name, Master_File, Budget_Name, MasterFiles_ID)
VALUES ('Rates', 0, NULL, 'Employee.xlsx', 'SampleBudget', 1);
INSERT INTO Worksheets (Worksheet_Name, Select_By_User, Folder_Name, Master_File, Budget_Name, MasterFiles_ID)
VALUES ('Summary', 0, NULL, 'Employee.xlsx', 'SampleBudget', 1);
INSERT INTO Worksheets (Worksheet_Name, Select_By_User, Folder_Name, Master_File, Budget_Name, MasterFiles_ID)
VALUES ('Support', 1, 'LumiSupport', 'Departme.xlsx', 'SampleBudget', 2);
INSERT INTO Worksheets (Worksheet_Name, Select_By_User, Folder_Name, Master_File, Budget_Name, MasterFiles_ID)
VALUES ('Systems', 1, 'LumiSystems', 'Departme.xlsx', 'SampleBudget', 2);
INSERT INTO Worksheets (Worksheet_Name, Select_By_User, Folder_Name, Master_File, Budget_Name, MasterFiles_ID)
VALUES ('Totals', 0, NULL, 'Departme.xlsx', 'SampleBudget', 2);

-- The user files of the picked worksheets, each assigned to the person of its folder and mailed as
-- an attachment.
INSERT INTO UserFileTablesData (User_Filename, Users, Select_By_User, Master_File, Budget_Name, Folder_Name, Attachment)
VALUES ('Salaries.xlsx', 'Person1', 1, 'Employee.xlsx', 'SampleBudget', 'LumiSupport', 1);
INSERT INTO UserFileTablesData (User_Filename, Users, Select_By_User, Master_File, Budget_Name, Folder_Name, Attachment)
VALUES ('Benefits.xlsx', 'Person2', 1, 'Employee.xlsx', 'SampleBudget', 'LumiSystems', 1);
INSERT INTO UserFileTablesData (User_Filename, Users, Select_By_User, Master_File, Budget_Name, Folder_Name, Attachment)
VALUES ('Support.xlsx', 'Person1', 1, 'Departme.xlsx', 'SampleBudget', 'LumiSupport', 1);
INSERT INTO UserFileTablesData (User_Filename, Users, Select_By_User, Master_File, Budget_Name, Folder_Name, Attachment)
VALUES ('Systems.xlsx', 'Person2', 1, 'Departme.xlsx', 'SampleBudget', 'LumiSystems', 1);
